// Reading a printer's level-2 information the way every step of Uninstall
// reads it: the size question, the buffer, the read.
#pragma once

#include "platform/Spooler.h"


namespace uninstall {

enum class PrinterRead {
    Ok,
    InfoError,    // the size question or the read failed ("Get printer info error")
    MemoryError,  // no memory for the information ("Allocate memory error")
};

// The size question must be answered with "insufficient buffer"; any other
// answer, success included, is a failure.
PrinterRead ReadPrinterInfo(plat::Spooler& spooler, const plat::Printer& printer,
                            plat::PrinterInfo& info);

}  // namespace uninstall
