#pragma once

#include "setup/ui/SettingsPage.h"

#include <array>
#include <functional>
#include <optional>

struct RatingCatalogues;
class QGroupBox;
class QPushButton;
class QRadioButton;

// The Flow Calculation page: how flow is computed from channel 1's level
// (Manning's equation, a flume, a weir or a table file) and how it is shown.
class FlowPage : public SettingsPage {
    Q_OBJECT
public:
    // browseForTable: asks for a flow table file; nothing when the user cancelled.
    using TableBrowser = std::function<std::optional<QString>()>;

    FlowPage(const RatingCatalogues& catalogues, TableBrowser browseForTable, FieldGuard& guard, bool errorTrapping);

    void Load(const LoggerSettings& settings) override;
    void Store(LoggerSettings& settings) const override;

private:
    // FlowMode, in the order of the page's options.
    enum Method { NoFlow, Mannings, Flume, Weir, Table, MethodCount };

    void EnableFieldsOfMethod();

    const RatingCatalogues& catalogues_;
    std::array<QRadioButton*, MethodCount> methods_{};
    QComboBox* flume_ = nullptr;
    QComboBox* weir_ = nullptr;
    QLineEdit* tableFile_ = nullptr;
    QPushButton* browse_ = nullptr;
    QComboBox* flowUnits_ = nullptr;
    QLineEdit* flowTop_ = nullptr;
    QLineEdit* levelOffset_ = nullptr;
    QComboBox* offsetUnits_ = nullptr;
    QGroupBox* manningsFrame_ = nullptr;
    QLineEdit* diameter_ = nullptr;
    QComboBox* diameterUnits_ = nullptr;
    QLineEdit* slope_ = nullptr;
    QComboBox* slopeUnits_ = nullptr;
    QComboBox* roughness_ = nullptr;
    QComboBox* velocityUnits_ = nullptr;
    QLineEdit* velocityTop_ = nullptr;
};
