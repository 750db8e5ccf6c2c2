#include "setup/ChoiceLists.h"

namespace ChoiceLists {

QStringList FirstChannelUnits()
{
    return {QStringLiteral("Feet"), QStringLiteral("Inches"), QStringLiteral("Meters"), QStringLiteral("cm")};
}

QStringList AnalogUnits()
{
    return {QStringLiteral("mA"),     QStringLiteral("Volts"),   QStringLiteral("mV"),    QStringLiteral("Temp F"),
            QStringLiteral("Temp C"), QStringLiteral("degrees"), QStringLiteral("%"),     QStringLiteral("Inches"),
            QStringLiteral("Feet"),   QStringLiteral("cm"),      QStringLiteral("Meters"), QStringLiteral("NTU"),
            QStringLiteral("ppm"),    QStringLiteral("uS"),      QStringLiteral("MPH"),   QStringLiteral("KPH")};
}

QStringList PulseUnits()
{
    return {QStringLiteral("Pulses"), QStringLiteral("Inches"),  QStringLiteral("cm"),  QStringLiteral("Cubic Ft"),
            QStringLiteral("Liters"), QStringLiteral("Gallons"), QStringLiteral("Kgal")};
}

QStringList Numbers(int first, int last)
{
    QStringList items;
    for (int n = first; n <= last; ++n) {
        items << QString::number(n);
    }
    return items;
}

QStringList IntervalUnits()
{
    return {QStringLiteral("seconds"), QStringLiteral("minutes"), QStringLiteral("hours"), QStringLiteral("days")};
}

QStringList BaudRates()
{
    return {QStringLiteral("Auto Baud Rate"), QStringLiteral("Fixed 9600"),  QStringLiteral("Fixed 19200"),
            QStringLiteral("Fixed 28800"),    QStringLiteral("Fixed 38400"), QStringLiteral("Fixed 57600"),
            QStringLiteral("Fixed 115200")};
}

QStringList AlarmHalves()
{
    return {QStringLiteral("A.M."), QStringLiteral("P.M.")};
}

QStringList FlowUnits()
{
    return {QStringLiteral("cfs - cubic feet per second"), QStringLiteral("gpm - gallons per minute"),
            QStringLiteral("mgd - million's of gallons per day"), QStringLiteral("cms - cubic meters per second"),
            QStringLiteral("lps - liters per second")};
}

QStringList LengthUnits()
{
    return {QStringLiteral("feet"), QStringLiteral("inches"), QStringLiteral("meters"), QStringLiteral("cm")};
}

QStringList VelocityUnits()
{
    return {QStringLiteral("fps - feet-per-sec"), QStringLiteral("mps - meters-per-sec")};
}

QStringList SlopeUnits()
{
    return {QStringLiteral("decimal (rise/run)"), QStringLiteral("percent")};
}

QStringList Roughness()
{
    return {QStringLiteral("0.010 - Plastic, other smooth surfaces"),
            QStringLiteral("0.012 - Smooth, unpainted steel"),
            QStringLiteral("0.013 - Painted steel, coated cast iron"),
            QStringLiteral("0.013 - Clay drainage tile, smooth asphalt"),
            QStringLiteral("0.013 - Finished concrete"),
            QStringLiteral("0.014 - Vitrified clay sewer tile - most common"),
            QStringLiteral("0.014 - Uncoated cast iron"),
            QStringLiteral("0.017 - Unfinished concrete"),
            QStringLiteral("0.024 - Corrugated metal storm drain")};
}

} // namespace ChoiceLists
