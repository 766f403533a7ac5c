#pragma once

#include "link/port_source.h"
#include "settings/setting_data.h"

class CInstrumentLink;

// Hands the configured communication settings to the link: the port list (with the configured port
// preferred), the baud rate, the interface and the LAN address and port.
void ApplyCommSettings(const CSettingData& config, CInstrumentLink& link, IPortSource& ports);

// Copies the link's current communication settings back into the configuration (kept at exit).
void TakeCommSettings(const CInstrumentLink& link, CSettingData& config);
