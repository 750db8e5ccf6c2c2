#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class LoggerLink;

// The conversation with a Hayes modem that the modem window shows: every
// 100 ms tick sends the next command until the modem answers "OK", then
// dials and waits for "CONNECT". Everything the modem says is passed on
// through textAppended. No widgets here: the window (or any other display)
// shows the text, offers Cancel and closes when Hidden() is emitted.
class ModemDialogue : public QObject {
    Q_OBJECT
public:
    enum class ResultTag { Error, Cancel, Connect };
    // Red while talking to the modem, green once it has connected.
    enum class TextColour { Red, Green };

    ModemDialogue(LoggerLink& link, QStringList commands, QString number, int tickMs = 100,
                  QObject* parent = nullptr);

    // Sets the port up for the modem and starts the ticks.
    void Open();
    // The Cancel button: the dialogue ends at the next point that looks.
    void Cancel();
    // The display was closed some other way: the dialogue ends the same
    // way, but without a result.
    void Abandon();

    ResultTag Result() const { return result_; }
    bool ModemCancel() const { return modemCancel_; }
    bool TickBusy() const { return tickBusy_; }
    int CommandIndex() const { return commandIndex_; }
    // Every command was acknowledged: the number has been dialled.
    bool Dialling() const { return commandIndex_ >= commands_.size(); }
    bool IsHidden() const { return hidden_; }
    const QString& Text() const { return text_; }
    // What the modem answered the dial with when it did not connect: "BUSY",
    // "NO CARRIER", "NO ANSWER" or "NO DIALTONE"; empty while there is none.
    const QString& DialFailure() const { return dialFailure_; }

    // The text followed by a carriage return.
    void SendModemLine(const QString& text);
    // What the modem sends until a piece ends with a line feed, ticks run
    // out or the dialogue is cancelled.
    QString ReadModemLine(int ticks);

signals:
    void TextAppended(const QString& text);
    void TextColourChanged(ModemDialogue::TextColour colour);
    void Hidden();
    // The modem answered the dial without connecting; the dialogue waits on
    // (a busy line may clear) unless whoever listens cancels it.
    void DialFailed(const QString& answer);

private:
    void Tick();
    void SendNextCommand();
    void Dial();
    void Hide();
    void AppendText(const QString& text);
    // Cancelled, abandoned, or the port is gone: nothing more to say.
    bool ShouldStop() const;
    void StopWaiting();

    LoggerLink& link_;
    QStringList commands_;
    QString number_;
    QTimer timer_;
    QString text_;
    QString dialFailure_;
    ResultTag result_ = ResultTag::Error;
    bool modemCancel_ = false;
    int commandIndex_ = 0;
    bool tickBusy_ = false;
    bool hidden_ = false;
};
