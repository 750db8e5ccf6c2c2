#include "FakeSerialPort.h"
#include "TestRegistry.h"
#include "link/FrameCodec.h"
#include "link/LoggerLink.h"
#include "link/ReplyTicker.h"

#include <QTest>
#include <random>

// Seeded random input, from noise to nearly right frames, must never crash
// or hang the frame receiver, nor let it hand out anything but a payload
// that was really sent. BREVEL_FUZZ_ITERATIONS sets a longer run.
class FrameFuzzTest : public QObject {
    Q_OBJECT

    std::mt19937 rng{20261206};

    int Below(int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); }

    QByteArray RandomBytes(int count)
    {
        QByteArray bytes(count, '\0');
        for (char& byte : bytes) {
            // Special bytes come often, as they do on a noisy line near a frame.
            byte = static_cast<char>(Below(4) == 0 ? 0xF8 + Below(8) : Below(256));
        }
        return bytes;
    }

private slots:
    void randomInputNeverYieldsAForgedPayload()
    {
        FakeSerialPort port;
        LinkState state;
        ProgramOptions options;
        state.ReplyTicks = 1;
        LoggerLink link(port, state, options);
        ReplyTicker ticker(link, 0); // a tick on every pass of the event loop
        ticker.start();
        QVERIFY(link.OpenPort(1, QStringLiteral("9600,N,8,1")));

        const int iterations = qEnvironmentVariableIsSet("BREVEL_FUZZ_ITERATIONS")
            ? qEnvironmentVariableIntValue("BREVEL_FUZZ_ITERATIONS")
            : 5000;
        int forged = 0;
        for (int i = 0; i < iterations; ++i) {
            const int size = Below(Frame::MaxPayload + 1);
            const QByteArray sent = RandomBytes(size);
            QByteArray wire = BuildFrame(sent);
            const int kind = Below(3);
            if (kind == 0) {
                wire = RandomBytes(Below(600));
            } else if (kind == 1) {
                for (int m = 1 + Below(3); m > 0 && !wire.isEmpty(); --m) {
                    const int at = Below(static_cast<int>(wire.size()));
                    wire[at] = static_cast<char>(wire.at(at) ^ (1 << Below(8)));
                    wire = Below(2) ? wire.remove(at, Below(3)) : wire.insert(at, RandomBytes(Below(3)));
                }
            } else {
                // Garbage without a start byte, then the frame, then more.
                wire = RandomBytes(Below(20)).replace('\xF8', '\x00') + wire + RandomBytes(Below(20));
            }
            port.discardInput();
            port.feedReceived(wire);
            QByteArray payload(size, '\x5A');
            const QByteArray before = payload;
            if (link.ReceiveFrame(payload)) {
                // A damaged frame may pass the length and checksum tests by chance: rarely.
                forged += kind == 1 && payload != sent;
                QCOMPARE(payload.size(), size);
            } else {
                QCOMPARE(payload, before);
                QCOMPARE(port.bytesAvailable(), 0);
                QVERIFY2(kind != 2, qPrintable(QStringLiteral("an intact frame failed at iteration %1").arg(i)));
            }
        }
        qInfo("%d iterations, %d forged by chance", iterations, forged);
        QVERIFY(forged * 1000 <= iterations);
    }
};

BREVEL_TEST(FrameFuzzTest)
#include "tst_framefuzz.moc"
