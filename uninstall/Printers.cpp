#include "uninstall/Printers.h"

#include "platform/Spooler.h"
#include "platform/Windows.h"

namespace uninstall {

PrinterRead ReadPrinterInfo(plat::Windows& windows, const plat::Printer& printer,
                            plat::PrinterInfo& info) {
    uint32_t needed = 0;
    if (windows.spooler().GetPrinterSize(printer, needed) != plat::err::InsufficientBuffer)
        return PrinterRead::InfoError;
    const uint32_t error = windows.spooler().GetPrinter(printer, info);
    if (error == plat::err::NotEnoughMemory) return PrinterRead::MemoryError;
    return error == plat::err::Success ? PrinterRead::Ok : PrinterRead::InfoError;
}

}  // namespace uninstall
