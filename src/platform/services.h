#pragma once
// Every operating-system service the program uses, handed to it as one bundle. The real
// machine (platform/win32) and the simulated one (platform/sim) each fill it.

#include "platform/files.h"
#include "platform/printer_network.h"
#include "platform/shell.h"
#include "platform/spooler.h"
#include "platform/system.h"
#include "platform/wmi.h"

namespace platform {

struct Services {
    Wmi& wmi;
    Shell& shell;
    Network& network;
    Launcher& launcher;
    Files& files;
    Codepage& codepage;
    ProfileApi& profileApi;
    MessageBoxes& messageBoxes;
    Clock& clock;
    Windows& windows;
    Process& process;
    Spooler& spooler;
    Log& log;
    PrinterNetwork& printerNetwork;
};

// The same services with other message boxes: a run nobody watches shows none.
inline Services withMessageBoxes(const Services& s, MessageBoxes& boxes) {
    return Services{s.wmi, s.shell, s.network, s.launcher, s.files,   s.codepage, s.profileApi,
                    boxes, s.clock, s.windows, s.process,  s.spooler, s.log,      s.printerNetwork};
}

}  // namespace platform
