#include "setup/wizard/PortPage.h"

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <utility>
#include <vector>

#include "setup/config/ModelConfigReader.h"
#include "setup/engine/Messages.h"
#include "setup/engine/PrinterQueue.h"
#include "setup/res/resource.h"

namespace {

constexpr int kSerialLists[] = {IDC_BAUD, IDC_DATA_BITS, IDC_PARITY, IDC_STOP_BITS, IDC_FLOW};

}  // namespace

std::string UsbPortName(const std::string& model, int n) {
    return "USB_" + model + "_" + std::to_string(n);
}

int BaudEntryIndex(int32_t baudRate) {
    for (int i = 0; i < static_cast<int>(std::size(kBaudRates)); ++i)
        if (kBaudRates[i] == baudRate) return i;
    return kDefaultBaudEntry;
}

std::string VxComPortName(int n) { return "VXCOM" + std::to_string(n) + ":"; }

PortPage::PortPage(SetupState& state) : state_(state) {
    view_.DeclareList(IDC_PORT, true);
    std::vector<std::string> rates;
    for (int32_t rate : kBaudRates) rates.push_back(std::to_string(rate));
    view_.DeclareList(IDC_BAUD, false, std::move(rates));
    view_.DeclareList(IDC_PARITY, false, {"Even", "Mark", "None", "Odd", "Space"});
    view_.DeclareList(IDC_DATA_BITS, false, {"5", "6", "7", "8"});
    view_.DeclareList(IDC_STOP_BITS, false, {"1", "1.5", "2"});
    view_.DeclareList(IDC_FLOW, false, {"None", "Xon/Xoff", "Hardware"});
    view_.Declare(IDC_RASTER, false);
    view_.Declare(IDC_USB_NOTE, true, false);
}

void PortPage::Initialize() {
    view_.List(IDC_PORT).Select(0);
    view_.List(IDC_DATA_BITS).Select(3);
    view_.List(IDC_STOP_BITS).Select(0);
    view_.List(IDC_PARITY).Select(2);
    view_.List(IDC_FLOW).Select(2);
    stopBits_ = 1.0;
    dataBits_ = 8;
    parity_ = 'n';
    flow_ = 'p';
    state_.portListKey = PortListKey{};
    setupType_ = SetupTypical;
    usbPrinterNumber_ = -1;
}

void PortPage::EnableSerial(bool enable) {
    for (int id : kSerialLists) view_.Enable(id, enable);
}

void PortPage::ShowUsbDriverNote() {
    const int32_t check = CheckUsbDeviceDriver(state_.windows);
    if (check == 1 || check == -1) {
        view_.SetText(IDC_USB_NOTE, check == 1 ? msg::kUpdateUsbDriver : msg::kInstallUsbDriver);
        view_.Show(IDC_USB_NOTE, true);
    } else {
        view_.Show(IDC_USB_NOTE, false);
    }
}

void PortPage::TakePort(int index) {
    ComboList& list = view_.List(IDC_PORT);
    list.Select(index);
    std::string text = list.SelectedText();
    if (text.size() > kPortNameSize - 1) text.resize(kPortNameSize - 1);
    portName_ = std::move(text);
}

// The port kind decides as at Install: a USB port whose model name holds
// "COM" is still a USB port.
void PortPage::PortChosen() {
    const int32_t kind = DerivePortKind(portName_.c_str());
    if (kind == Serial) {
        EnableSerial(true);
        view_.Enable(IDC_RASTER, false);
        view_.Show(IDC_USB_NOTE, false);
        driverMode_ = Std;
    } else {
        EnableSerial(false);
        view_.Enable(IDC_RASTER, true);
        driverMode_ = Gdi;
        if (kind == Usb)
            ShowUsbDriverNote();
        else
            view_.Show(IDC_USB_NOTE, false);
    }
    view_.Check(IDC_RASTER, driverMode_ == Gdi);
}

void PortPage::SelectionChanged(int id, int index) {
    ComboList& list = view_.List(id);
    list.Select(index);
    if (id == IDC_PORT) {
        TakePort(index);
        PortChosen();
        return;
    }
    if (list.Selection() < 0) return;
    const std::string text = list.SelectedText();
    switch (id) {
        case IDC_BAUD: baudRate_ = IniToInt(text.c_str()); break;
        case IDC_DATA_BITS: dataBits_ = IniToInt(text.c_str()); break;
        case IDC_PARITY: parity_ = text.empty() ? parity_ : text[0]; break;
        case IDC_STOP_BITS: stopBits_ = std::strtod(text.c_str(), nullptr); break;
        case IDC_FLOW:
            if (text == "Xon/Xoff")
                flow_ = 'x';
            else if (text == "Hardware")
                flow_ = 'p';
            else if (text == "None")
                flow_ = ' ';
            break;
        default: break;
    }
}

bool PortPage::UpdateData() {
    driverMode_ = view_.Checked(IDC_RASTER) ? Gdi : Std;
    return true;
}

void PortPage::ApplyModelBaudRate(int32_t baudRate) {
    const int index = BaudEntryIndex(baudRate);
    view_.List(IDC_BAUD).Select(index);
    baudRate_ = kBaudRates[index];
}

void PortPage::BuildTypicalList(const std::string& model, int32_t os,
                                const std::string& moduleIniPath) {
    BuildList(true, model, os, moduleIniPath);
}

void PortPage::BuildAdvancedList(const std::string& model, int32_t os,
                                 const std::string& moduleIniPath) {
    BuildList(false, model, os, moduleIniPath);
}

void PortPage::BuildList(bool typical, const std::string& model, int32_t os,
                         const std::string& moduleIniPath) {
    PortListKey& key = state_.portListKey;
    // The same model and setup type: the list and the user's choice stay.
    if (key.Matches(model, setupType_)) return;
    key.setupType = setupType_;
    key.model = model;
    key.built = true;

    // The port name is always the selected entry's text: the emptied list
    // has none.
    ComboList& list = view_.List(IDC_PORT);
    list.Clear();
    portName_.clear();
    if (os != Win98) {
        for (int i = 1; i <= kVxComPorts; ++i) list.Add(VxComPortName(i));
        list.Add("LPT1:");
        list.Add("LPT2:");
        list.Add("LPT3:");
    } else {
        list.Add("COM1:");
        list.Add("COM2:");
        list.Add("LPT1:");
    }

    const std::string section = PortSection(model);
    const int32_t usbSupported =
        ReadPortSectionKey(state_.windows, moduleIniPath, section, portkey::kUsbSupported);
    const int32_t lptDefault =
        ReadPortSectionKey(state_.windows, moduleIniPath, section, portkey::kLptDefault);

    // Asked on every build, whatever the model supports.
    const int32_t id = ReadPrinterId(state_.windows, state_.context);

    bool usbChosen = false;
    if (usbSupported != 0) {
        if (os != WinNT4) {  // NT 4.0 has no USB ports
            const int last = typical ? 1 : 4;
            for (int i = 1; i <= last; ++i) list.Add(UsbPortName(model, i));
        }
        if (id != -1) {
            const int32_t n = id % 8 + 1;  // -1 for "more than one printer"
            if (!typical && n > 4) TakePort(0);
            usbPrinterNumber_ = n;
            const int found = typical
                                  ? list.FindContaining("USB")
                                  : list.FindContainingBoth("USB", "_" + std::to_string(n));
            if (found >= 0) TakePort(found);
            EnableSerial(false);
            usbChosen = true;
        }
    }
    if (!usbChosen) {
        if (lptDefault == 0)
            TakePort(0);
        else
            TakePort(list.FindContaining("LPT"));
    }

    const int32_t kind = DerivePortKind(portName_.c_str());
    if (kind == Usb) {
        ShowUsbDriverNote();
        view_.Enable(IDC_RASTER, true);
        driverMode_ = Gdi;
    } else if (kind == Parallel) {
        view_.Show(IDC_USB_NOTE, false);
        view_.Enable(IDC_RASTER, true);
        driverMode_ = Gdi;
        EnableSerial(false);
    } else {
        EnableSerial(true);
        view_.Show(IDC_USB_NOTE, false);
        view_.Enable(IDC_RASTER, false);
        driverMode_ = Std;
    }
    view_.Show(IDC_RASTER, !typical);
    view_.Check(IDC_RASTER, driverMode_ == Gdi);
}
