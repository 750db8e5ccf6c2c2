#include "FakeSerialPort.h"
#include "TestRegistry.h"
#include "link/FrameCodec.h"
#include "link/LoggerLink.h"
#include "link/ReplyTicker.h"

#include <QTest>
#include <random>

// The frame receiver reads bytes from outside: seeded random input, from
// noise to nearly right frames, must never crash it, hang it, or let it
// hand out anything but a payload that was really sent. Run under the
// sanitizer build too. BREVEL_FUZZ_ITERATIONS sets a longer run.
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

    QByteArray Mutate(QByteArray wire)
    {
        const int mutations = 1 + Below(3);
        for (int m = 0; m < mutations && !wire.isEmpty(); ++m) {
            const int at = Below(static_cast<int>(wire.size()));
            switch (Below(4)) {
            case 0: wire[at] = static_cast<char>(wire.at(at) ^ (1 << Below(8))); break;
            case 1: wire.remove(at, 1 + Below(4)); break;
            case 2: wire.insert(at, RandomBytes(1 + Below(3))); break;
            default: wire.truncate(at); break;
            }
        }
        return wire;
    }

private slots:
    void randomInputNeverYieldsAForgedPayload()
    {
        FakeSerialPort port;
        AppState state;
        state.ReplyTicks = 1;
        LoggerLink link(port, state);
        ReplyTicker ticker(link, 0); // a tick on every pass of the event loop
        ticker.start();
        QVERIFY(link.OpenPort(1, QStringLiteral("9600,N,8,1")));

        const int iterations = qEnvironmentVariableIsSet("BREVEL_FUZZ_ITERATIONS")
            ? qEnvironmentVariableIntValue("BREVEL_FUZZ_ITERATIONS")
            : 20000;
        int intact = 0;
        int received = 0;
        int forged = 0;
        for (int i = 0; i < iterations; ++i) {
            const int size = Below(Frame::MaxPayload + 1);
            const QByteArray sent = RandomBytes(size);
            const QByteArray frame = BuildFrame(sent);
            QByteArray wire;
            const int kind = Below(4);
            if (kind == 0) {
                wire = RandomBytes(Below(600));
            } else if (kind == 1) {
                wire = Mutate(frame);
            } else {
                // Garbage without a start byte, then the frame, then more.
                QByteArray garbage = RandomBytes(Below(20)).replace('\xF8', '\x00');
                wire = garbage + frame + RandomBytes(Below(20));
                ++intact;
            }
            port.discardInput();
            port.feedReceived(wire);
            QByteArray payload(size, '\x5A');
            const QByteArray before = payload;
            if (link.ReceiveFrame(payload)) {
                ++received;
                // A damaged frame that got through the length and checksum
                // tests by chance: rare, but count it.
                if (kind == 1 && payload != sent) {
                    ++forged;
                }
                QCOMPARE(payload.size(), size);
            } else {
                QCOMPARE(payload, before);
                QCOMPARE(port.bytesAvailable(), 0);
                QVERIFY2(kind < 2, qPrintable(QStringLiteral("an intact frame failed at iteration %1").arg(i)));
            }
        }
        qInfo("%d iterations, %d frames received, %d forged by chance", iterations, received, forged);
        QVERIFY(received >= intact);
        QVERIFY(forged * 10000 <= iterations);
    }
};

BREVEL_TEST(FrameFuzzTest)
#include "tst_framefuzz.moc"
