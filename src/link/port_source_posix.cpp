#include "link/port_source.h"

#include <libserialport.h>
#include <sys/stat.h>

namespace {

std::string TextOf(const char* text) { return text != nullptr ? text : ""; }

class CSystemPortSource final : public IPortSource {
public:
    std::vector<PortInfo> ListPorts() override
    {
        std::vector<PortInfo> ports;
        sp_port** list = nullptr;
        if (sp_list_ports(&list) != SP_OK)
            return ports; // no enumerator: an empty table, as when no port is present
        for (sp_port** port = list; *port != nullptr; ++port) {
            PortInfo info;
            info.PortName = TextOf(sp_get_port_name(*port));
            info.FriendlyName = TextOf(sp_get_port_description(*port));
            if (sp_get_port_transport(*port) == SP_TRANSPORT_USB)
                info.UsbSerial = TextOf(sp_get_port_usb_serial(*port));
            if (info.FriendlyName.empty())
                info.FriendlyName = info.PortName;
            ports.push_back(std::move(info));
        }
        sp_free_port_list(list);
        return ports;
    }
};

} // namespace

std::unique_ptr<IPortSource> MakeSystemPortSource() { return std::make_unique<CSystemPortSource>(); }

bool IsSerialDevice(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}
