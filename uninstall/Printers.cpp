#include "uninstall/Printers.h"

#include "platform/Spooler.h"

namespace uninstall {

PrinterRead ReadPrinterInfo(plat::Spooler& spooler, const plat::Printer& printer,
                            plat::PrinterInfo& info) {
    uint32_t needed = 0;
    if (spooler.GetPrinterSize(printer, needed) != plat::err::InsufficientBuffer)
        return PrinterRead::InfoError;
    const uint32_t error = spooler.GetPrinter(printer, info);
    if (error == plat::err::NotEnoughMemory) return PrinterRead::MemoryError;
    return error == plat::err::Success ? PrinterRead::Ok : PrinterRead::InfoError;
}

}  // namespace uninstall
