#include "setup/ui/FlowPage.h"

#include "config/LoggerSettings.h"
#include "core/NumberText.h"
#include "flow/RatingCatalogue.h"
#include "setup/ChoiceLists.h"
#include "setup/FieldChecks.h"
#include "setup/ui/FieldGuard.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The list position of the last catalogue entry with the tag; "- None -" when none has it.
int CataloguePosition(const RatingCatalogue& catalogue, const QString& tag)
{
    int position = 0;
    for (size_t i = 0; i < catalogue.size(); ++i) {
        if (catalogue[i].Tag == tag) {
            position = int(i) + 1;
        }
    }
    return position;
}

QString CatalogueTag(const RatingCatalogue& catalogue, const QComboBox* combo)
{
    const int position = Position(combo);
    return position == 0 ? QString() : catalogue.at(size_t(position) - 1).Tag;
}

QComboBox* CatalogueList(const QString& name, const RatingCatalogue& catalogue)
{
    QComboBox* combo = PickList(name, {ChoiceLists::NoneItem});
    for (const RatingEntry& entry : catalogue) {
        combo->addItem(entry.Name);
    }
    return combo;
}

} // namespace

FlowPage::FlowPage(const RatingCatalogues& catalogues, TableBrowser browseForTable, FieldGuard& guard,
                   bool errorTrapping)
    : SettingsPage(guard, errorTrapping), catalogues_(catalogues)
{
    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);

    const std::array<const char*, MethodCount> captions{"No Flow Calculation", "Manning's Equation", "Flume:", "Weir:",
                                                         "Table File:"};
    const std::array<const char*, MethodCount> names{"optNoFlow", "optMannings", "optFlume", "optWeir", "optTable"};
    auto* group = new QButtonGroup(this);
    for (int m = 0; m < MethodCount; ++m) {
        methods_[m] = Named(new QRadioButton(QLatin1String(captions[m])), QLatin1String(names[m]));
        group->addButton(methods_[m]);
        connect(methods_[m], &QRadioButton::clicked, this, &FlowPage::EnableFieldsOfMethod);
    }
    flume_ = CatalogueList(QStringLiteral("cmbFlume"), catalogues.FlumeCatalogue);
    weir_ = CatalogueList(QStringLiteral("cmbWeir"), catalogues.WeirCatalogue);
    tableFile_ = Named(new QLineEdit, QStringLiteral("txtTableFile"));
    browse_ = Named(new QPushButton(QStringLiteral("...")), QStringLiteral("cmdBrowse"));
    browse_->setAutoDefault(false);
    browse_->setFixedWidth(30);
    connect(browse_, &QPushButton::clicked, this, [this, browseForTable] {
        if (const auto path = browseForTable()) {
            tableFile_->setText(*path);
        }
    });

    grid->addWidget(methods_[NoFlow], 0, 0, 1, 3);
    grid->addWidget(methods_[Mannings], 1, 0, 1, 3);
    grid->addWidget(methods_[Flume], 2, 0);
    grid->addWidget(flume_, 2, 1, 1, 2);
    grid->addWidget(methods_[Weir], 3, 0);
    grid->addWidget(weir_, 3, 1, 1, 2);
    grid->addWidget(methods_[Table], 4, 0);
    grid->addWidget(tableFile_, 4, 1);
    grid->addWidget(browse_, 4, 2);

    auto* display = new QGridLayout;
    flowUnits_ = PickList(QStringLiteral("cmbFlowUnits"), ChoiceLists::FlowUnits());
    flowTop_ = Named(new QLineEdit, QStringLiteral("txtFlowTop"));
    levelOffset_ = Named(new QLineEdit, QStringLiteral("txtOffset"));
    offsetUnits_ = PickList(QStringLiteral("cmbOffsetUnits"), ChoiceLists::LengthUnits());
    display->addWidget(new QLabel(QStringLiteral("Flow Display Units:")), 0, 0);
    display->addWidget(flowUnits_, 0, 1, 1, 2);
    display->addWidget(new QLabel(QStringLiteral("Flow Display Top Value:")), 1, 0);
    display->addWidget(flowTop_, 1, 1);
    display->addWidget(new QLabel(QStringLiteral("Level Offset:")), 2, 0);
    display->addWidget(levelOffset_, 2, 1);
    display->addWidget(offsetUnits_, 2, 2);
    display->setColumnStretch(3, 1);
    grid->addLayout(display, 5, 0, 1, 3);

    manningsFrame_ =
        Named(new QGroupBox(QStringLiteral("Manning's Equation Parameters")), QStringLiteral("frmMannings"));
    auto* mannings = new QGridLayout(manningsFrame_);
    const char* parameterCaptions[] = {"Pipe Diameter:", "Slope:", "Roughness Number:", "Velocity Display Units:",
                                       "Velocity Display Top:"};
    for (int i = 0; i < 5; ++i) {
        mannings->addWidget(Named(new QLabel(QLatin1String(parameterCaptions[i])), QStringLiteral("lblM%1").arg(i + 1)),
                            i, 0);
    }
    diameter_ = Named(new QLineEdit, QStringLiteral("txtDiameter"));
    diameterUnits_ = PickList(QStringLiteral("cmbDiameterUnits"), ChoiceLists::LengthUnits());
    slope_ = Named(new QLineEdit, QStringLiteral("txtSlope"));
    slopeUnits_ = PickList(QStringLiteral("cmbSlopeUnits"), ChoiceLists::SlopeUnits());
    roughness_ = EditableList(QStringLiteral("cmbRoughness"), ChoiceLists::Roughness());
    velocityUnits_ = PickList(QStringLiteral("cmbVelUnits"), ChoiceLists::VelocityUnits());
    velocityTop_ = Named(new QLineEdit, QStringLiteral("txtVelTop"));
    mannings->addWidget(diameter_, 0, 1);
    mannings->addWidget(diameterUnits_, 0, 2);
    mannings->addWidget(slope_, 1, 1);
    mannings->addWidget(slopeUnits_, 1, 2);
    mannings->addWidget(roughness_, 2, 1, 1, 2);
    mannings->addWidget(velocityUnits_, 3, 1, 1, 2);
    mannings->addWidget(velocityTop_, 4, 1);
    mannings->setColumnStretch(3, 1);
    grid->addWidget(manningsFrame_, 6, 0, 1, 3);
    grid->setRowStretch(7, 1);

    for (auto [edit, name] :
         {std::pair{flowTop_, "Flow Display Top Value"}, std::pair{levelOffset_, "Level Offset"},
          std::pair{diameter_, "Pipe Diameter"}, std::pair{velocityTop_, "Velocity Display Top"},
          std::pair{slope_, "Slope"}}) {
        guard_.Guard(edit, QLatin1String(name), CheckStoredNumber);
    }
    guard_.Guard(roughness_, QStringLiteral("Roughness Number"), CheckRoughness);
}

void FlowPage::Load(const LoggerSettings& s)
{
    methods_[s.FlowMode < MethodCount ? s.FlowMode : int(NoFlow)]->setChecked(true);
    flume_->setCurrentIndex(CataloguePosition(catalogues_.FlumeCatalogue, s.FlumeTag));
    weir_->setCurrentIndex(CataloguePosition(catalogues_.WeirCatalogue, s.WeirTag));
    tableFile_->setText(s.TablePath);
    Select(flowUnits_, s.FlowUnits);
    flowTop_->setText(NumberText(s.FlowTop));
    levelOffset_->setText(NumberText(s.LevelOffset));
    Select(offsetUnits_, s.LevelOffsetType);
    diameter_->setText(NumberText(s.ManningsD));
    Select(diameterUnits_, s.ManningsDType);
    slope_->setText(NumberText(s.ManningsS));
    Select(slopeUnits_, s.ManningsSType);
    roughness_->setEditText(NumberText(s.ManningsN));
    Select(velocityUnits_, s.VelUnits);
    velocityTop_->setText(NumberText(s.VelTop));
    EnableFieldsOfMethod();
}

void FlowPage::Store(LoggerSettings& s) const
{
    s.FlowMode = NoFlow;
    for (int m = Mannings; m < MethodCount; ++m) {
        if (methods_[m]->isChecked()) {
            s.FlowMode = uint8_t(m);
            break;
        }
    }
    s.FlumeTag = CatalogueTag(catalogues_.FlumeCatalogue, flume_);
    s.WeirTag = CatalogueTag(catalogues_.WeirCatalogue, weir_);
    s.TablePath = tableFile_->text();
    s.FlowUnits = Position(flowUnits_);
    s.FlowTop = NumberValue(flowTop_->text());
    s.LevelOffset = NumberValue(levelOffset_->text());
    s.LevelOffsetType = Position(offsetUnits_);
    s.ManningsD = NumberValue(diameter_->text());
    s.ManningsDType = Position(diameterUnits_);
    s.ManningsS = NumberValue(slope_->text());
    s.ManningsSType = Position(slopeUnits_);
    s.ManningsN = NumberValue(roughness_->currentText());
    s.VelUnits = Position(velocityUnits_);
    s.VelTop = NumberValue(velocityTop_->text());
}

void FlowPage::EnableFieldsOfMethod()
{
    flume_->setEnabled(methods_[Flume]->isChecked());
    weir_->setEnabled(methods_[Weir]->isChecked());
    tableFile_->setEnabled(methods_[Table]->isChecked());
    browse_->setEnabled(methods_[Table]->isChecked());
    const bool flow = !methods_[NoFlow]->isChecked();
    for (QWidget* field : std::initializer_list<QWidget*>{flowUnits_, flowTop_, levelOffset_, offsetUnits_}) {
        field->setEnabled(flow);
    }
    manningsFrame_->setEnabled(methods_[Mannings]->isChecked());
}
