#pragma once

#include "link/ExchangeGuard.h"
#include "setup/SetupContext.h"

#include <QByteArray>
#include <QDialog>
#include <array>
#include <memory>
#include <optional>

class QAction;
class QPushButton;
class QTimer;
class AnalogPage;
class DigitalPage;
class FieldGuard;
class FlowPage;
class GeneralPage;
class SetupFileCommands;

// frmSetup: the modal editor of the logger settings, one tab page per part
// of them. It edits the program-wide record in place; Program writes it to
// the logger, the File menu to and from setup files.
class SetupWindow : public QDialog {
    Q_OBJECT
public:
    explicit SetupWindow(SetupContext context, QWidget* parent = nullptr);
    ~SetupWindow() override;

    // The settings as last saved to or loaded from a file, and as last read
    // from or programmed into the logger; nothing when they could not be encoded.
    const std::optional<QByteArray>& SavedImage() const { return savedImage_; }
    const std::optional<QByteArray>& LoggerImage() const { return loggerImage_; }
    const QString& SetupFileName() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void BuildMenus();
    void ShowSettings();
    void StoreSettings();
    // Each true when the user cancelled, so the window must stay open.
    bool CancelledOverUnsavedChanges();
    bool CancelledOverUnprogrammedChanges();
    void Program();
    void InitializeToDefaults();
    bool SaveSetup();
    void LoadSetup();
    void LoadRecentFile(int index);
    void Calibrate(int channel);
    // Keeps the alarm times and the recent-file menu in step, four times a second.
    void Refresh();
    // Runs the check of the field the user was in last, as leaving it would;
    // false (with a message saying why) when the field refuses its value.
    bool CommitLastField();
    std::optional<QByteArray> CurrentImage();
    // The line for Program and Calibrate, refused while another exchange runs.
    ExchangeGuard TakeLine();
    bool ProgramAndConfirm();
    bool ChannelsHaveScales();

    SetupContext ctx_;
    std::unique_ptr<SetupFileCommands> files_;
    std::optional<QByteArray> savedImage_;
    std::optional<QByteArray> loggerImage_;
    FieldGuard* guard_ = nullptr;
    AnalogPage* analog_ = nullptr;
    DigitalPage* digital_ = nullptr;
    GeneralPage* general_ = nullptr;
    FlowPage* flow_ = nullptr;
    QPushButton* programButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    std::array<QAction*, 4> recentFiles_{};
    QTimer* refreshTimer_ = nullptr;
};
