#pragma once

#include <QStringList>

// The fixed choice lists of the setup window. An item's position is the
// value the settings field stores.
namespace ChoiceLists {

QStringList FirstChannelUnits();  // channel 1 measures a level
QStringList AnalogUnits();
QStringList PulseUnits();
QStringList Numbers(int first, int last); // "0" to "6", "0" to "60"
QStringList IntervalUnits();
QStringList BaudRates();
QStringList AlarmHalves();
QStringList FlowUnits();
QStringList LengthUnits(); // level offset and pipe diameter
QStringList VelocityUnits();
QStringList SlopeUnits();
QStringList Roughness();
inline const QString NoneItem = QStringLiteral("- None -");

} // namespace ChoiceLists
