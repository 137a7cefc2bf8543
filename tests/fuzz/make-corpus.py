#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into tests/fuzz/corpus/: the
sample package's INI files, and values ten times over each limit of the
readers (counts, names, file names, numbers). Run it again after changing
the sample package or a limit; the files are kept in the repository.

Each input starts with the header bytes of its target (see the targets'
sources); parts are separated by a form feed.
"""
import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))
PACKAGE = os.path.join(HERE, '..', '..', 'package', 'DRVCONFIG')
OUT = os.path.join(HERE, 'corpus')

# The readers' limits (setup/config/PackageLimits.h, uninstall/UninstallIni.h
# and the key limits of the package format).
MAX_MODELS, MAX_USB, MAX_LIST = 999, 4096, 99
# The longest input the fuzzers make (run-fuzz.sh's -max_len).
MAX_LEN = 8192
MODULES = ['setup_receipt.ini', 'setup_ticket.ini', 'setup_lable.ini', 'setup_embedded.ini']


def ini(name):
    with open(os.path.join(PACKAGE, name), 'rb') as f:
        return f.read()


def write(target, name, data):
    folder = os.path.join(OUT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


def over(limit, char='x'):
    """A value ten times over a key limit (the limit counts the terminator)."""
    return char * (10 * limit)


def section(name, pairs):
    return ('[%s]\r\n' % name + ''.join('%s=%s\r\n' % kv for kv in pairs)).encode('latin-1')


def models_over_limits():
    models = [('DEVICENUMBER', str(10 * MAX_MODELS)), ('DEFAULTNAME', '1' + over(259, '0')),
              ('DEVICENAME1', 'M-ReceiptPrinter'), ('DEVICENAME2', over(199) + '-TicketPrinter'),
              ('DEVICENAME%d' % (MAX_MODELS + 1), 'Beyond-LabelPrinter')]
    usb = [('PRNCOUNT', str(10 * MAX_USB)), ('0', 'USB_M_1' + over(30))]
    return section('DEVICENAME', models) + section('SUPPORTED-USB-DEVICE', usb)


def monitors_over_limits():
    monitors = [('USBMONitorPName', over(49)), ('USBMONitorPDLLName', over(199)),
                ('USBMONitorPUIDLLName', over(49)), ('USBMONitorVersion', '9' * 90),
                ('COMMONitorPName', over(49)), ('COMMONitorPDLLName', over(199)),
                ('COMMONitorPUIDLLName', over(49)), ('COMMONitorVersion', '-' + '9' * 89)]
    return (section('DEVICENAME', [('DEVICENUMBER', '1'), ('DEVICENAME1', 'M-ReceiptPrinter'),
                                   ('DEFAULTNAME', '1')]) +
            section('COMMON-MONITOR.XP', monitors) +
            section('ProcessorVersion', [('DriverVersion', '7' * 110)]))


def model_over_limits(words):
    """Model M's XP section with the keys of `words` ten times over their limits."""
    keys = [('GDIDriverName', over(49)), ('GDIPrintProcessor', over(49)),
            ('ATTRIBUTES', over(49, '7')), ('GDI2KDDKDEV', '1' * 90), ('STD2KDDKDEV', '1' * 40)]
    keys += [(word if word == 'ControlFontFile' else 'GDI' + word, over(199)) for word in words]
    return section('M.XP', keys)


def model_sections(text, model):
    """The sections of one model (its per-OS sections and its port section)."""
    out, keep = [], False
    for line in text.split(b'\n'):
        stripped = line.strip()
        if stripped.startswith(b'['):
            keep = stripped[1:].split(b']')[0].rsplit(b'.', 1)[0] == model.encode()
        if keep:
            out.append(line)
    return b'\n'.join(out) + b'\n'


def escaping_module_ini():
    name = '..\\..\\..\\QSHELP.DLL'
    keys = [('GDIDriverName', 'M'), ('GDIPrintProcessor', 'QSPrint'), ('GDIProcessorDLLName', name),
            ('ControlFontFile', '\\QSHELP.DLL')]
    for word in ['DriverPath', 'DataFile', 'ConfigFile', 'HelpFile', 'DataFileDLLName',
                 'DataOemuiDLL', 'DataOemuniDLL', 'DataOemuniini']:
        keys.append(('GDI' + word, name))
    return section('M.XP', keys)


def big_uninstall_ini():
    text = b''
    for list_name, count, base in [('KVMONITOR', 'MonitorNUM', 'MONITORNAME'),
                                   ('KVPROC', 'PROCNUM', 'PROCNAME'),
                                   ('KVPRINTER', 'PRINTERNUM', 'PRINTERNAME')]:
        pairs = [(count, str(10 * MAX_LIST))]
        pairs += [('%s%d' % (base, k), 'Fragment%d' % k) for k in range(1, MAX_LIST + 1)]
        pairs += [('%s%d' % (base, MAX_LIST + 1), 'Quillset')]
        text += section(list_name, pairs)
    return text


def long_uninstall_ini():
    # Values and section names ten times over the 30-character buffers, and
    # one value beyond the reader's 1024-character cap.
    return (section('KVMONITOR', [('MonitorNUM', '2'), ('MONITORNAME1', 'Quillset USB' + over(30)),
                                  ('MONITORNAME2', 'Quillset Serial')]) +
            section('KVPROC', [('PROCNUM', '1'), ('PROCNAME1', 'QSPrint')]) +
            section('KVPRINTER', [('PRINTERNUM', '1'), ('PRINTERNAME1', over(30))]) +
            section('QuillsetSerialPortMonitor.2K', [('MonitorPDLLName', over(30)),
                                                     ('MonitorPUIDLLName', 'x' * 2048)]) +
            section('QSPrint.2K', [('ProcessorDllName', '..\\..\\boot.ini')]))


def main():
    shutil.rmtree(OUT, ignore_errors=True)
    # profile: buffer size (2 bytes), section and key choice, then the file.
    for name in ['setup.ini', 'Uninstall.ini'] + MODULES:
        write('profile', name, bytes([200, 0, 3, 3]) + ini(name)[:MAX_LEN - 4])
    write('profile', 'over-limits', bytes([30, 0, 4, 4]) + models_over_limits())
    write('profile', 'long-value', bytes([200, 0, 1, 1]) + section('a', [('k', over(200))]))

    # model_config: OsClass, driver mode, module kind, USB records; setup.ini,
    # a form feed, the module INI (one model's sections of each sample INI).
    setup = ini('setup.ini')
    for kind, (module, model) in enumerate(zip(MODULES, ['KRT-A100', 'KTT-T80', 'KLB-L40', 'KEM-E20'])):
        write('model_config', model, bytes([4, 1, kind + 1, 1]) + setup + b'\f' +
              model_sections(ini(module), model))
    write('model_config', 'KRT-P58-98-std', bytes([1, 0, 1, 0]) + setup + b'\f' +
          model_sections(ini(MODULES[0]), 'KRT-P58'))
    write('model_config', 'models-over-limits', bytes([4, 1, 1, 1]) + models_over_limits())
    write('model_config', 'monitors-over-limits', bytes([4, 1, 1, 0]) + monitors_over_limits())
    words = ['DriverPath', 'DataFile', 'ConfigFile', 'HelpFile', 'DataFileDLLName',
             'DataOemuiDLL', 'DataOemuniDLL', 'DataOemuniini', 'ProcessorDLLName', 'ControlFontFile']
    for i in range(0, len(words), 2):
        write('model_config', 'model-over-limits-%d' % (i // 2), bytes([4, 1, 1, 0]) +
              section('DEVICENAME', [('DEVICENUMBER', '1'), ('DEVICENAME1', 'M-ReceiptPrinter'),
                                     ('DEFAULTNAME', '1')]) +
              b'\f' + model_over_limits(words[i:i + 2]))
    write('model_config', 'escaping-names', bytes([4, 1, 1, 0]) +
          section('DEVICENAME', [('DEVICENUMBER', '1'), ('DEVICENAME1', 'M-ReceiptPrinter'),
                                 ('DEFAULTNAME', '1')]) +
          section('COMMON-MONITOR.XP', [('USBMONitorPDLLName', '..\\QSHELP.DLL'),
                                        ('COMMONitorPUIDLLName', 'C:QSHELP.DLL')]) +
          b'\f' + escaping_module_ini())

    # uninstall_ini: OsClass, then Uninstall.ini.
    write('uninstall_ini', 'Uninstall.ini', bytes([4]) + ini('Uninstall.ini'))
    write('uninstall_ini', 'Uninstall-98.ini', bytes([1]) + ini('Uninstall.ini'))
    write('uninstall_ini', 'full-lists', bytes([4]) + big_uninstall_ini())
    write('uninstall_ini', 'long-values', bytes([4]) + long_uninstall_ini())

    for target in os.listdir(OUT):
        for name in os.listdir(os.path.join(OUT, target)):
            size = os.path.getsize(os.path.join(OUT, target, name))
            assert size <= MAX_LEN, '%s/%s: %d bytes, more than the fuzzers read' % (target, name, size)


if __name__ == '__main__':
    main()
