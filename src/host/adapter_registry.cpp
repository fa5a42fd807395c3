#include "host/adapter_registry.h"

namespace tunekit {

std::vector<std::string> adapterRegistryKeys(RegistryFamily family)
{
    switch (family) {
    case RegistryFamily::Nt: {
        // The driver names the key with the adapter's serial part, with an empty one, or without
        // it; the current control set first, then the saved ones.
        const std::string tail = "\\0000\\Device Parameters";
        const std::string withSerial = "\\Enum\\FTDIBUS\\VID_0403+PID_D7A0+05170913B" + tail;
        const std::string withPlus = "\\Enum\\FTDIBUS\\VID_0403+PID_D7A0+" + tail;
        std::vector<std::string> keys{
            "SYSTEM\\CurrentControlSet" + withSerial,
            "SYSTEM\\CurrentControlSet" + withPlus,
            "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_D7A0" + tail,
        };
        for (const char* set : {"001", "002", "003", "004"}) {
            keys.push_back(std::string("SYSTEM\\ControlSet") + set + withSerial);
            keys.push_back(std::string("SYSTEM\\ControlSet") + set + withPlus);
        }
        return keys;
    }
    case RegistryFamily::Win9x:
        return {"Enum\\FTDIBUS\\VID_0403+PID_D7A0+05170913B\\0000\\"};
    case RegistryFamily::None:
        break;
    }
    return {};
}

std::string lookupAdapterPortName(RegistryFamily family, const RegistryTextReader& read)
{
    for (const std::string& key : adapterRegistryKeys(family)) {
        std::string name = read(key, "PortName");
        if (!name.empty())
            return name;
    }
    return {};
}

int portNumberOfPortName(const std::string& portName)
{
    int number = 0;
    for (std::size_t i = 3; i < portName.size() && portName[i] >= '0' && portName[i] <= '9'; ++i) {
        number = number * 10 + (portName[i] - '0');
        if (number > 256)
            return 0;
    }
    return number;
}

} // namespace tunekit
