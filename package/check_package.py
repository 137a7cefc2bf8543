#!/usr/bin/env python3
"""Checks that the sample installation package hangs together.

  check_package.py --source DIR   the package's source folder: every file the
                                  INIs name is in the right Windows-version
                                  folder or is a binary that the build makes
  check_package.py --built DIR    a laid-out package: every such file is there
  check_package.py --self-test DIR
                                  breaks copies of the source package in known
                                  ways and checks that each fault is reported

The INI files are read with Windows' rules: section and key names without
regard to case, blanks around names and values dropped, one pair of quotes
around a value dropped, ';' starts a comment line. Windows takes the first of
two sections or keys of the same name; here a repeated name is a fault, since
the second one would silently be ignored.
"""
import argparse
import os
import re
import shutil
import struct
import sys
import tempfile

SUFFIXES = ['98', 'NT', '2K', 'XP', '2003', 'Vista']
FOLDER = {'98': 'win98', 'NT': 'winnt', '2K': 'winnt', 'XP': 'winnt',
          '2003': 'win2003', 'Vista': 'Vista'}
NT5 = {'2K', 'XP', '2003', 'Vista'}           # Windows 2000 and later
KINDS = [('-ReceiptPrinter', 'setup_receipt.ini'),
         ('-TicketPrinter', 'setup_ticket.ini'),
         ('-LabelPrinter', 'setup_lable.ini'),
         ('-EmbeddedPrinter', 'setup_embedded.ini')]
BAUD_RATES = {110, 300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}

# Binaries that the build (tools/) makes into each Windows-version folder of
# the laid-out package; the source package holds none of them.
_NT_BINARIES = {'QSDRV.DLL', 'QSDRVUI.DLL', 'QSPROC.DLL', 'QSUSBMON.DLL',
                'QSUSBUI.DLL', 'QSCOMMON.DLL', 'QSCOMUI.DLL', 'QSRES.DLL',
                'QSOEMUI.DLL', 'QSOEMUNI.DLL', 'UNIRES.DLL'}
BUILT_BINARIES = {
    'win98': {'QSDRV.DLL', 'QSDRVUI.DLL', 'QSPROC.DLL', 'QSUSBMON.DLL',
              'QSUSBUI.DLL', 'ICONLIB.DLL', 'UNIDRV.DLL', 'DMCOLOR.DLL'},
    'winnt': _NT_BINARIES, 'win2003': _NT_BINARIES, 'Vista': _NT_BINARIES,
    '': {'KvUsbInt.dll'},
}

# Names of monitors and processors that Windows itself brings: a fragment of
# Uninstall.ini that matched one would offer to remove it.
SYSTEM_MONITORS = ['Local Port', 'Standard TCP/IP Port', 'USB Monitor',
                   'WSD Port', 'PJL Language monitor', 'BJ Language Monitor']
SYSTEM_PROCESSORS = ['WinPrint']

STD_GDI_KEYS = ['DriverName', 'DriverPath', 'DataFile', 'ConfigFile', 'HelpFile',
                'DataFileDLLName', 'DataOemuiDLL', 'DataOemuniDLL', 'DataOemuniini',
                'ProcessorDLLName', 'PrintProcessor']
FILE_KEYS = ['DriverPath', 'DataFile', 'ConfigFile', 'HelpFile', 'DataFileDLLName',
             'DataOemuiDLL', 'DataOemuniDLL', 'DataOemuniini', 'ProcessorDLLName']
LIMIT_49 = {'DriverName', 'PrintProcessor'}


class Ini:
    """One INI file: sections and keys in file order, names compared without
    regard to case."""

    def __init__(self, path, errors):
        self.path = path
        self.sections = {}        # lower-case name -> (name, {lower key: (key, value)})
        self.order = []
        try:
            data = open(path, 'rb').read()
        except OSError as e:
            errors.append(f'{path}: cannot read ({e.strerror})')
            return
        text = data.decode('latin-1')
        current = None
        for number, line in enumerate(re.split(r'\r\n|\n|\r', text), 1):
            line = line.strip()
            if not line or line.startswith(';'):
                continue
            if line.startswith('['):
                end = line.find(']')
                if end < 0:
                    errors.append(f'{path}:{number}: section line without "]"')
                    current = None
                    continue
                name = line[1:end].strip()
                if name.lower() in self.sections:
                    errors.append(f'{path}:{number}: section [{name}] repeated')
                    current = None        # Windows reads the first one only
                    continue
                current = {}
                self.sections[name.lower()] = (name, current)
                self.order.append(name)
                continue
            if current is None:
                continue
            if '=' not in line:
                errors.append(f'{path}:{number}: line without "=": {line!r}')
                continue
            key, value = (s.strip() for s in line.split('=', 1))
            if len(value) >= 2 and value[0] == value[-1] and value[0] in '"\'':
                value = value[1:-1]
            if key.lower() in current:
                errors.append(f'{path}:{number}: key {key} repeated in its section')
                continue
            current[key.lower()] = (key, value)

    def has(self, section):
        return section.lower() in self.sections

    def keys(self, section):
        return [k for k, _ in self.sections.get(section.lower(), ('', {}))[1].values()]

    def get(self, section, key, default=None):
        sec = self.sections.get(section.lower())
        if sec is None:
            return default
        return sec[1].get(key.lower(), (key, default))[1]


def to_int(text):
    """The decimal reading of a value: optional blanks and sign, then digits up
    to the first other character; no digits give 0."""
    m = re.match(r'\s*([+-]?)(\d*)', text or '')
    if not m.group(2):
        return 0
    return int(m.group(1) + m.group(2))


def is_int(text):
    return text is not None and re.fullmatch(r'[+-]?\d+', text) is not None


def names_file(value):
    return bool(value) and not value.startswith('0')


class Checker:
    def __init__(self, root, built):
        self.root = root
        self.built = built
        self.errors = []

    def fault(self, text):
        self.errors.append(text)

    def available(self, folder, name):
        if os.path.isfile(os.path.join(self.root, folder, name)):
            return True
        return not self.built and name in BUILT_BINARIES.get(folder, set())

    def need_file(self, folder, name, why):
        if not self.available(folder, name):
            where = f'{folder}\\' if folder else 'the package folder'
            self.fault(f'{why}: {name} is not in {where}')

    def ini(self, name):
        return Ini(os.path.join(self.root, 'DRVCONFIG', name), self.errors)

    def run(self):
        setup = self.ini('setup.ini')
        models = self.check_model_list(setup)
        monitors = self.check_monitors(setup)
        self.check_processor_version(setup)
        modules = {}
        drivers = {}          # (os folder, driver name) -> files, to find clashes
        processors = {}       # processor name -> {suffix: dll}
        for model, ini_name in models:
            if ini_name not in modules:
                modules[ini_name] = self.ini(ini_name)
            self.check_model(model, modules[ini_name], drivers, processors)
        self.check_usb_list(setup, models, modules)
        self.check_uninstall(monitors, processors, drivers)
        self.check_files()
        return self.errors

    # setup.ini ------------------------------------------------------------

    def check_model_list(self, setup):
        count_text = setup.get('DEVICENAME', 'DEVICENUMBER')
        if not is_int(count_text) or to_int(count_text) < 1:
            self.fault(f'setup.ini: [DEVICENAME] DEVICENUMBER is {count_text!r}, not a count')
            return []
        count = to_int(count_text)
        models, seen = [], set()
        for i in range(1, count + 1):
            entry = setup.get('DEVICENAME', f'DEVICENAME{i}')
            if entry is None:
                self.fault(f'setup.ini: DEVICENAME{i} is missing (DEVICENUMBER={count})')
                continue
            if len(entry) > 199:
                self.fault(f'setup.ini: DEVICENAME{i} is longer than 199 characters')
            for suffix, ini_name in KINDS:
                pos = entry.find(suffix)
                if pos >= 0:
                    model = entry[:pos]
                    if not model:
                        self.fault(f'setup.ini: DEVICENAME{i} has no model name')
                    elif model in seen:
                        self.fault(f'setup.ini: model {model} is listed twice')
                    else:
                        seen.add(model)
                        models.append((model, ini_name))
                    break
        for key in setup.keys('DEVICENAME'):
            m = re.fullmatch(r'DEVICENAME(\d+)', key, re.I)
            if m and int(m.group(1)) > count:
                self.fault(f'setup.ini: {key} lies beyond DEVICENUMBER={count} and is never offered')
        default = setup.get('DEVICENAME', 'DEFAULTNAME')
        entry = setup.get('DEVICENAME', f'DEVICENAME{to_int(default)}') if is_int(default) else None
        if not is_int(default) or not 1 <= to_int(default) <= count:
            self.fault(f'setup.ini: DEFAULTNAME {default!r} is not an entry number from 1 to {count}')
        elif entry is None or not any(s in entry for s, _ in KINDS):
            self.fault(f'setup.ini: DEFAULTNAME {default} names an entry that is not offered')
        if not models:
            self.fault('setup.ini: no model is offered')
        return models

    def check_monitors(self, setup):
        """The two monitors per Windows version; returns
        {monitor name: {suffix: (dll, ui dll)}}."""
        monitors = {}
        for suffix in SUFFIXES:
            section = f'COMMON-MONITOR.{suffix}'
            if not setup.has(section):
                self.fault(f'setup.ini: [{section}] is missing')
                continue
            for prefix, used in (('USBMONitor', suffix != 'NT'), ('COMMONitor', suffix != '98')):
                name = setup.get(section, prefix + 'PName')
                dll = setup.get(section, prefix + 'PDLLName')
                ui = setup.get(section, prefix + 'PUIDLLName')
                version = setup.get(section, prefix + 'Version')
                where = f'setup.ini: [{section}]'
                if not name or name == '0' or len(name) > 49:
                    self.fault(f'{where} {prefix}PName {name!r} is not a monitor name of at most 49 characters')
                    continue
                if not names_file(dll) or len(dll) > 199:
                    self.fault(f'{where} {prefix}PDLLName {dll!r} names no DLL')
                    continue
                if ui is None or len(ui) > 49:
                    self.fault(f'{where} {prefix}PUIDLLName is missing or longer than 49 characters')
                    continue
                if not is_int(version) or to_int(version) < 1:
                    self.fault(f'{where} {prefix}Version {version!r} is not a version number')
                if used:
                    self.need_file(FOLDER[suffix], dll, f'{where} {prefix}PDLLName')
                    if names_file(ui):
                        self.need_file(FOLDER[suffix], ui, f'{where} {prefix}PUIDLLName')
                monitors.setdefault(name, {})[suffix] = (dll, ui)
        return monitors

    def check_processor_version(self, setup):
        version = setup.get('ProcessorVersion', 'DriverVersion')
        if not is_int(version) or to_int(version) < 1:
            self.fault(f'setup.ini: [ProcessorVersion] DriverVersion {version!r} is not a version number')

    def check_usb_list(self, setup, models, modules):
        count_text = setup.get('SUPPORTED-USB-DEVICE', 'PRNCOUNT')
        if not is_int(count_text):
            self.fault(f'setup.ini: [SUPPORTED-USB-DEVICE] PRNCOUNT {count_text!r} is not a count')
            return
        listed = []
        for i in range(to_int(count_text)):
            port = setup.get('SUPPORTED-USB-DEVICE', str(i))
            if port is None:
                self.fault(f'setup.ini: [SUPPORTED-USB-DEVICE] entry {i} is missing')
            elif len(port) > 29:
                self.fault(f'setup.ini: USB port name {port} is longer than 29 characters')
            elif port in listed:
                self.fault(f'setup.ini: USB port name {port} is listed twice')
            else:
                listed.append(port)
        for key in setup.keys('SUPPORTED-USB-DEVICE'):
            if key.isdigit() and int(key) >= to_int(count_text):
                self.fault(f'setup.ini: [SUPPORTED-USB-DEVICE] entry {key} lies beyond PRNCOUNT')
        wanted = []
        for model, ini_name in models:
            if to_int(modules[ini_name].get(f'{model}.PORT', 'USBSUPPORTED', '0')):
                wanted += [f'USB_{model}_{n}' for n in range(1, 5)]
        for port in wanted:
            if port not in listed:
                self.fault(f'setup.ini: USB port {port} of a USB model is not in [SUPPORTED-USB-DEVICE]')
        for port in listed:
            if port not in wanted:
                self.fault(f'setup.ini: [SUPPORTED-USB-DEVICE] lists {port}, which no USB model offers')

    # module INIs -----------------------------------------------------------

    def check_model(self, model, ini, drivers, processors):
        where = f'{os.path.basename(ini.path)}: [{model}.PORT]'
        port = f'{model}.PORT'
        if not ini.has(port):
            self.fault(f'{where} is missing')
            return
        for key in ('AdvancedSetup', 'SystemVistaSupported', 'USBSUPPORTED', 'LPTDEFAULT'):
            if not is_int(ini.get(port, key)):
                self.fault(f'{where} {key} is missing or not a number')
        for key in ('System2003Supported', 'BaudRate'):
            value = ini.get(port, key)
            if value is not None and not is_int(value):
                self.fault(f'{where} {key} {value!r} is not a number')
        baud = ini.get(port, 'BaudRate')
        if baud is not None and to_int(baud) not in BAUD_RATES:
            self.fault(f'{where} BaudRate {baud} is not a rate of the port page')
        needed = ['98', 'NT', '2K', 'XP']
        if to_int(ini.get(port, 'System2003Supported', '0')):
            needed.append('2003')
        if to_int(ini.get(port, 'SystemVistaSupported', '0')):
            needed.append('Vista')
        for suffix in needed:
            if not ini.has(f'{model}.{suffix}'):
                self.fault(f'{os.path.basename(ini.path)}: [{model}.{suffix}] is missing')
        for suffix in SUFFIXES:
            if ini.has(f'{model}.{suffix}'):
                self.check_os_section(model, suffix, ini, drivers, processors)

    def check_os_section(self, model, suffix, ini, drivers, processors):
        section = f'{model}.{suffix}'
        where = f'{os.path.basename(ini.path)}: [{section}]'
        folder = FOLDER[suffix]
        for key in ['ControlFontFile', 'ATTRIBUTES', 'GDI2KDDKDEV', 'STD2KDDKDEV'] + \
                   [p + k for p in ('STD', 'GDI') for k in STD_GDI_KEYS]:
            if ini.get(section, key) is None:
                self.fault(f'{where} {key} is missing')
        if not is_int(ini.get(section, 'ATTRIBUTES')):
            self.fault(f'{where} ATTRIBUTES is not a number')
        for key in ('GDI2KDDKDEV', 'STD2KDDKDEV'):
            if ini.get(section, key) not in (None, '0', '1'):
                self.fault(f'{where} {key} is neither 0 nor 1')
        font = ini.get(section, 'ControlFontFile')
        if names_file(font):
            self.need_file(folder, font, f'{where} ControlFontFile')
        for prefix in ('STD', 'GDI'):
            v = {k: ini.get(section, prefix + k) for k in STD_GDI_KEYS}
            if any(value is None for value in v.values()):
                continue
            for k, value in v.items():
                limit = 49 if k in LIMIT_49 else 199
                if len(value) > limit:
                    self.fault(f'{where} {prefix}{k} is longer than {limit} characters')
            if not v['DriverName'] or v['DriverName'] == '0':
                self.fault(f'{where} {prefix}DriverName names no driver')
            for k in ('DriverPath', 'DataFile', 'ConfigFile', 'HelpFile'):
                if not names_file(v[k]):
                    self.fault(f'{where} {prefix}{k} names no file')
            for k in FILE_KEYS:
                if names_file(v[k]):
                    self.need_file(folder, v[k], f'{where} {prefix}{k}')
            processor = v['PrintProcessor']
            if processor == '0' or not processor:
                self.fault(f'{where} {prefix}PrintProcessor names no print processor')
            elif processor in SYSTEM_PROCESSORS:
                if names_file(v['ProcessorDLLName']):
                    self.fault(f'{where} {prefix}ProcessorDLLName names a DLL for the system processor {processor}')
            elif not names_file(v['ProcessorDLLName']):
                self.fault(f'{where} {prefix}PrintProcessor {processor} comes without its DLL')
            else:
                dlls = processors.setdefault(processor, {})
                if dlls.setdefault(suffix, v['ProcessorDLLName']) != v['ProcessorDLLName']:
                    self.fault(f'{where} print processor {processor} has another DLL than in other models')
            # The DDK flag: the Unidrv support files and the resource DLL.
            ddk = ini.get(section, 'GDI2KDDKDEV' if prefix == 'GDI' else 'STD2KDDKDEV') or ''
            if ddk.startswith('1') and suffix in NT5:
                for name in ('TTFSUB.GPD', 'STDNAMES.GPD', 'UNIRES.DLL'):
                    self.need_file(folder, name, f'{where} {prefix} DDK driver')
                if not names_file(v['DataFileDLLName']):
                    self.fault(f'{where} {prefix} DDK driver without {prefix}DataFileDLLName')
            # The dependent files fit the driver record's list of 200 characters.
            if to_int(ini.get(section, 'GDI2KDDKDEV')) and suffix in NT5:
                names = [v['DataFile'], 'TTFSUB.GPD', 'UNIRES.DLL', 'STDNAMES.GPD'] + \
                        [v[k] for k in ('DataFileDLLName', 'DataOemuiDLL', 'DataOemuniDLL',
                                        'DataOemuniini') if not v[k].startswith('0')]
                if sum(len(n) + 1 for n in names) + 1 > 200:
                    self.fault(f'{where} {prefix} dependent files do not fit in 200 characters')
            # One driver name means one set of files on a Windows version.
            files = tuple(v[k] for k in FILE_KEYS[:4])
            known = drivers.setdefault((folder, v['DriverName']), (files, section))
            if known[0] != files:
                self.fault(f'{where} driver {v["DriverName"]} has other files than in [{known[1]}]')
        if suffix == '98':
            for name in ('ICONLIB.DLL', 'UNIDRV.DLL'):
                self.need_file('win98', name, f'{where} Windows 98 core driver file')
            if 'KRT-A100' in model or 'KRT-B200' in model:
                self.need_file('win98', 'DMCOLOR.DLL', f'{where} Windows 98 colour file of {model}')

    # Uninstall.ini -----------------------------------------------------------

    def fragments(self, ini, section, count_key, entry_key):
        count_text = ini.get(section, count_key)
        if not is_int(count_text) or not 1 <= to_int(count_text) <= 9:
            self.fault(f'Uninstall.ini: [{section}] {count_key} {count_text!r} is not a count from 1 to 9')
            return []
        found = []
        for k in range(1, to_int(count_text) + 1):
            value = ini.get(section, f'{entry_key}{k}')
            if value is None:
                self.fault(f'Uninstall.ini: [{section}] {entry_key}{k} is missing (it would read "0")')
            elif not value:
                self.fault(f'Uninstall.ini: [{section}] {entry_key}{k} is empty and matches every name')
            elif len(value) > 29:
                self.fault(f'Uninstall.ini: [{section}] {entry_key}{k} is longer than 29 characters')
            else:
                found.append(value)
        return found

    def check_list(self, kind, fragments, names, system_names):
        for name in names:
            if not any(f in name for f in fragments):
                self.fault(f'Uninstall.ini: no {kind} fragment matches {name}')
        for f in fragments:
            if not any(f in name for name in names):
                self.fault(f'Uninstall.ini: {kind} fragment {f!r} matches nothing of the package')
            for name in system_names:
                if f in name:
                    self.fault(f'Uninstall.ini: {kind} fragment {f!r} matches Windows\' own {name}')

    def check_uninstall(self, monitors, processors, drivers):
        ini = self.ini('Uninstall.ini')
        self.check_list('monitor', self.fragments(ini, 'KVMONITOR', 'MonitorNUM', 'MONITORNAME'),
                        sorted(monitors), SYSTEM_MONITORS)
        self.check_list('processor', self.fragments(ini, 'KVPROC', 'PROCNUM', 'PROCNAME'),
                        sorted(processors), SYSTEM_PROCESSORS)
        self.check_list('printer', self.fragments(ini, 'KVPRINTER', 'PRINTERNUM', 'PRINTERNAME'),
                        sorted({name for _, name in drivers}), [])
        # File sections; Windows XP shares the sections of Windows 2000.
        for suffix in ('98', 'NT', '2K', '2003', 'Vista'):
            same = ['2K', 'XP'] if suffix == '2K' else [suffix]
            for name, per_os in sorted(monitors.items()):
                section = name.replace(' ', '') + '.' + suffix
                for s in same:
                    if s not in per_os:
                        continue
                    dll, ui = per_os[s]
                    got = (ini.get(section, 'MonitorPDLLName'), ini.get(section, 'MonitorPUIDLLName'))
                    if got != (dll, ui):
                        self.fault(f'Uninstall.ini: [{section}] names {got}, '
                                   f'setup.ini [COMMON-MONITOR.{s}] has {(dll, ui)}')
            for name, per_os in sorted(processors.items()):
                section = name + '.' + suffix
                for s in same:
                    if s in per_os and ini.get(section, 'ProcessorDllName') != per_os[s]:
                        self.fault(f'Uninstall.ini: [{section}] ProcessorDllName is '
                                   f'{ini.get(section, "ProcessorDllName")!r}, the models use {per_os[s]}')

    # other files --------------------------------------------------------------

    def check_files(self):
        for folder in ('win98', 'winnt', 'win2003', 'Vista', 'DRVCONFIG'):
            if not os.path.isdir(os.path.join(self.root, folder)):
                self.fault(f'folder {folder} is missing')
        for name in ('POS.CHM', 'Uninstall_EN.CHM', 'Uninstall_CN.CHM',
                     os.path.join('USBDRV2.20', 'bulkusb.sys')):
            if not os.path.isfile(os.path.join(self.root, name)):
                self.fault(f'{name} is missing')
        for folder in ('TCVN3 Font', 'VNI Font'):
            path = os.path.join(self.root, folder)
            if not os.path.isdir(path) or not any(os.path.isfile(os.path.join(path, f))
                                                   for f in os.listdir(path)):
                self.fault(f'{folder} holds no font')
        self.check_bitmap(os.path.join(self.root, 'DRVCONFIG', 'Left.bmp'))
        if self.built:
            self.need_file('', 'KvUsbInt.dll', 'the USB interface library')
        else:
            for top, _, files in os.walk(self.root):
                for f in files:
                    if f.lower().endswith(('.dll', '.exe')):
                        self.fault(f'{os.path.join(top, f)}: binaries are built, not kept in the source')

    def check_bitmap(self, path):
        try:
            data = open(path, 'rb').read()
        except OSError:
            self.fault('DRVCONFIG\\Left.bmp is missing')
            return
        if len(data) < 54 or data[:2] != b'BM':
            self.fault('DRVCONFIG\\Left.bmp is not a Windows bitmap')
            return
        size, offset = struct.unpack_from('<I4xI', data, 2)
        header, width, height, planes, bits, compression = struct.unpack_from('<IiiHHI', data, 14)
        row = (width * bits + 31) // 32 * 4
        if size != len(data):
            self.fault(f'DRVCONFIG\\Left.bmp holds {len(data)} bytes, its header says {size}')
        elif header < 40 or planes != 1 or bits != 24 or compression != 0:
            self.fault('DRVCONFIG\\Left.bmp is not a plain 24-bit bitmap')
        elif not (0 < width <= 176 and 0 < abs(height) <= 324):
            self.fault(f'DRVCONFIG\\Left.bmp is {width} x {height}, larger than 176 x 324')
        elif offset + row * abs(height) > len(data):
            self.fault('DRVCONFIG\\Left.bmp is cut short')


# Faults put into copies of the source package; each must be reported.
# (what, file, pattern and replacement | 'delete' | 'truncate')
MUTATIONS = [
    ('a supported Windows version without its section',
     'DRVCONFIG/setup_ticket.ini', r'\[KTT-T80\.2003\]', '[KTT-T80.2003x]'),
    ('a data file missing from its folder',
     'winnt/QSTKT.GPD', 'delete', None),
    ('a monitor that no Uninstall.ini fragment names',
     'DRVCONFIG/Uninstall.ini', r'MONITORNAME2=.*', 'MONITORNAME2=Quilset Serial'),
    ('a model entry beyond DEVICENUMBER',
     'DRVCONFIG/setup.ini', r'DEVICENUMBER=\d+', 'DEVICENUMBER=9'),
    ('a key given twice',
     'DRVCONFIG/setup_receipt.ini', r'(\[KRT-A100\.XP\]\r?\n)', r'\1STDDriverName=Other\r\n'),
    ('a USB port list that does not match the USB models',
     'DRVCONFIG/setup.ini', r'USB_KRT-A100_2', 'USB_KRT-A100_5'),
    ('a processor fragment that matches WinPrint',
     'DRVCONFIG/Uninstall.ini', r'PROCNAME1=.*', 'PROCNAME1=Print'),
    ('a baud rate the port page does not know',
     'DRVCONFIG/setup_receipt.ini', r'BaudRate=9600', 'BaudRate=14400'),
    ('a monitor DLL in Uninstall.ini that differs from setup.ini',
     'DRVCONFIG/Uninstall.ini', r'(\[QuillsetUSBPortMonitor\.2K\]\r?\nMonitorPDLLName=)\S+', r'\1QSUSB.DLL'),
    ('a bitmap cut short',
     'DRVCONFIG/Left.bmp', 'truncate', None),
    ('a driver name longer than 49 characters',
     'DRVCONFIG/setup_lable.ini', r'GDIDriverName=Quillset KLB-L40 Label Raster',
     'GDIDriverName=Quillset KLB-L40 Label Raster with a far too long name'),
    ('a DDK driver without its resource DLL',
     'DRVCONFIG/setup_lable.ini', r'(\[KLB-L40\.XP\]\r?\n(?:.*\r?\n)*?GDIDataFileDLLName=)\S+', r'\g<1>0'),
    ('a model whose processor comes without its DLL',
     'DRVCONFIG/setup_receipt.ini', r'(\[KRT-A100\.2K\]\r?\n(?:.*\r?\n)*?STDProcessorDLLName=)\S+', r'\g<1>0'),
    ('one driver name with other files in another model',
     'DRVCONFIG/setup_embedded.ini', r'STDDriverName=Quillset KEM-E10 Embedded',
     'STDDriverName=Quillset KRT-P58 Receipt'),
]


def self_test(source):
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        clean = os.path.join(tmp, 'clean')
        shutil.copytree(source, clean)
        errors = Checker(clean, built=False).run()
        if errors:
            print('self-test: the unchanged package is reported faulty:')
            print('\n'.join('  ' + e for e in errors))
            failures += 1
        for i, (what, rel, pattern, replacement) in enumerate(MUTATIONS):
            copy = os.path.join(tmp, f'm{i}')
            shutil.copytree(source, copy)
            path = os.path.join(copy, rel)
            if pattern == 'delete':
                os.remove(path)
            elif pattern == 'truncate':
                os.truncate(path, os.path.getsize(path) // 2)
            else:
                text = open(path, newline='').read()
                changed, n = re.subn(pattern, replacement, text, count=1)
                if n != 1:
                    print(f'self-test: "{what}": pattern not found in {rel}')
                    failures += 1
                    continue
                open(path, 'w', newline='').write(changed)
            errors = Checker(copy, built=False).run()
            if errors:
                print(f'self-test: {what}: reported ({errors[0]})')
            else:
                print(f'self-test: {what}: NOT reported')
                failures += 1
    print(f'self-test: {len(MUTATIONS) + 1 - failures} passed, {failures} failed')
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument('--source', metavar='DIR')
    mode.add_argument('--built', metavar='DIR')
    mode.add_argument('--self-test', metavar='DIR')
    args = parser.parse_args()
    if args.self_test:
        return self_test(args.self_test)
    root = args.source or args.built
    errors = Checker(root, built=bool(args.built)).run()
    for e in errors:
        print(e)
    print(f'{root}: {len(errors)} faults')
    return 1 if errors else 0


if __name__ == '__main__':
    sys.exit(main())
