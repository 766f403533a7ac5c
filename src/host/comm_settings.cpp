#include "host/comm_settings.h"

#include "link/identification.h"
#include "link/instrument_link.h"

void ApplyCommSettings(const CSettingData& config, CInstrumentLink& link, IPortSource& ports)
{
    EnumeratePorts(link, ports, config.ComNo);
    link.BaudRate = static_cast<uint32_t>(config.BaudRate);
    link.Interface
        = config.IFSelect == static_cast<int32_t>(InterfaceKind::Lan) ? InterfaceKind::Lan : InterfaceKind::Com;
    link.IpOctets = config.LanIPOctets;
    link.IpAddress = config.LanIPAddr;
    link.TcpPort = config.LanPort;
}

void TakeCommSettings(const CInstrumentLink& link, CSettingData& config)
{
    config.ComNo = link.ComPort;
    config.BaudRate = static_cast<int32_t>(link.BaudRate);
    config.IFSelect = static_cast<int32_t>(link.Interface);
    config.LanIPOctets = link.IpOctets;
    config.LanIPAddr = link.IpAddress;
    config.LanPort = link.TcpPort;
}
