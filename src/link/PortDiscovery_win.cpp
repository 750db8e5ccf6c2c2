// Port discovery from the Windows registry: FTDI adapters, installed modems
// and other USB serial devices, each giving "COMn - device name". Every
// Windows that Qt 6 runs on is of the NT family, so the keys are the NT ones.
#include "link/PortDiscovery.h"


#include <QString>

#include <windows.h>

namespace {

constexpr DWORD TextBufferSize = 256;

class RegistryKey {
public:
    explicit RegistryKey(const QString& path)
    {
        const QByteArray name = path.toLocal8Bit();
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, name.constData(), 0, KEY_READ, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~RegistryKey()
    {
        if (key_) {
            RegCloseKey(key_);
        }
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    QStringList Subkeys() const
    {
        QStringList names;
        if (!key_) {
            return names;
        }
        char name[TextBufferSize];
        for (DWORD index = 0;; ++index) {
            DWORD length = TextBufferSize;
            if (RegEnumKeyExA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
                break;
            }
            names.append(QString::fromLocal8Bit(name, static_cast<int>(length)));
        }
        return names;
    }

    // The text of a value up to its first NUL, or nothing when it is missing.
    bool Value(const char* valueName, QString& text) const
    {
        if (!key_) {
            return false;
        }
        char data[TextBufferSize] = {};
        DWORD length = TextBufferSize;
        DWORD type = 0;
        if (RegQueryValueExA(key_, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &length)
            != ERROR_SUCCESS) {
            return false;
        }
        const QByteArray bytes(data, static_cast<int>(length));
        const int nul = bytes.indexOf('\0');
        text = QString::fromLocal8Bit(nul < 0 ? bytes : bytes.left(nul));
        return true;
    }

private:
    HKEY key_ = nullptr;
};

void AddEntry(QStringList& entries, const QString& portName, const QString& deviceName)
{
    entries.append(portName.toUpper() + QStringLiteral(" - ") + deviceName);
}

// "FT232R USB UART (COM7)" names the device "FT232R USB UART".
QString DeviceName(const QString& friendlyName)
{
    const int com = friendlyName.indexOf(QStringLiteral("(COM"));
    return (com > 0 ? friendlyName.left(com) : friendlyName).trimmed();
}

// Device and instance keys under root, each instance with a "FriendlyName"
// and a "PortName" in its "Device Parameters".
void WalkDeviceInstances(const QString& root, QStringList& entries)
{
    const RegistryKey rootKey(root);
    for (const QString& device : rootKey.Subkeys()) {
        const QString devicePath = root + QLatin1Char('\\') + device;
        const RegistryKey deviceKey(devicePath);
        for (const QString& instance : deviceKey.Subkeys()) {
            const QString instancePath = devicePath + QLatin1Char('\\') + instance;
            const RegistryKey instanceKey(instancePath);
            QString friendlyName;
            if (!instanceKey.Value("FriendlyName", friendlyName)) {
                continue;
            }
            const RegistryKey parameters(instancePath + QStringLiteral("\\Device Parameters"));
            QString portName;
            if (parameters.Value("PortName", portName)) {
                AddEntry(entries, portName, DeviceName(friendlyName));
            }
        }
    }
}

void WalkModems(QStringList& entries)
{
    const QString root = QStringLiteral("SYSTEM\\CurrentControlSet\\Control\\Class");
    const RegistryKey rootKey(root);
    for (const QString& classKey : rootKey.Subkeys()) {
        const QString classPath = root + QLatin1Char('\\') + classKey;
        const RegistryKey classEntry(classPath);
        QString className;
        if (!classEntry.Value("Class", className) || !className.toUpper().startsWith(QStringLiteral("MODEM"))) {
            continue;
        }
        for (const QString& modem : classEntry.Subkeys()) {
            const RegistryKey modemKey(classPath + QLatin1Char('\\') + modem);
            QString attachedTo;
            QString friendlyName;
            modemKey.Value("AttachedTo", attachedTo);
            modemKey.Value("FriendlyName", friendlyName);
            AddEntry(entries, attachedTo.trimmed(), friendlyName.trimmed());
        }
    }
}

} // namespace

QStringList DiscoverPorts(PortDirectory&)
{
    QStringList entries{QString()};
    try {
        WalkDeviceInstances(QStringLiteral("SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS"), entries);
        WalkModems(entries);
        WalkDeviceInstances(QStringLiteral("SYSTEM\\CurrentControlSet\\Enum\\USB"), entries);
    } catch (...) {
        // A failure during the walk ends it; what was found so far stands.
    }
    return entries;
}
