#!/usr/bin/env python3
"""tools/check-layers against a throw-away src/ tree: one include per case, judged by the real table."""
import importlib.machinery
import importlib.util
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..')
CHECK = os.path.join(ROOT, 'tools', 'check-layers')
TABLE = os.path.join(ROOT, 'tools', 'layers.txt')

# (file that includes, what it includes, allowed)
CASES = [
    ('protocol/Offsets.h', 'comm/Comm.h', False),
    ('graph/CurveMath.cpp', 'comm/Link.h', False),
    ('graph/CurveMath.cpp', 'protocol/Offsets.h', True),
    ('model/EditPath.cpp', 'graph/ResponseCurves.h', True),
    ('model/EditPath.cpp', 'programs/ProgramMemory.h', False),
    ('connect/Exchange.cpp', 'comm/Comm.h', True),
    ('connect/Exchange.cpp', 'meters/MeterPoll.h', False),
    ('connect/Exchange.cpp', 'connect/ui/UsbConnectDialog.h', False),
    ('widgets/Knob.cpp', 'model/UndoStack.h', False),
    ('cli/Session.cpp', 'meters/MeterPoll.h', True),
    ('cli/Session.cpp', 'widgets/Knob.h', False),
    ('cli/Session.cpp', 'editor/EditorWindow.h', False),
    ('sim/SimDevice.cpp', 'protocol/Offsets.h', True),
    ('sim/SimDevice.cpp', 'protocol/ProgramData.h', False),
    ('sim/SimDevice.cpp', 'comm/Packet.h', False),
    ('editor/shot/PageShots.cpp', 'programs/ui/StoreProgramDialog.h', True),
    ('app/MainWindow.cpp', 'editor/EditorManager.h', True),
    ('graph/ui/GraphPlot.cpp', 'editor/EditorWindow.h', False),
    ('extra/Thing.cpp', 'device/Slots.h', False),
]


def load_check():
    loader = importlib.machinery.SourceFileLoader('check_layers', CHECK)
    module = importlib.util.module_from_spec(importlib.util.spec_from_loader(loader.name, loader))
    loader.exec_module(module)
    return module


def write_tree(root, includer, included):
    path = os.path.join(root, 'src', includer)
    os.makedirs(os.path.dirname(path))
    with open(path, 'w') as f:
        f.write('#pragma once\n\n#include "%s"\n' % included)
    return os.path.join(root, 'src')


class CheckLayersTest(unittest.TestCase):
    def test_table(self):
        layers = load_check()
        table = layers.read_table(TABLE)
        for includer, included, allowed in CASES:
            with self.subTest(includer=includer, included=included):
                with tempfile.TemporaryDirectory() as root:
                    faults = layers.check(write_tree(root, includer, included), table)
                self.assertEqual(faults == [], allowed, faults)
                if not allowed:
                    line = 1 if includer.startswith('extra/') else 3
                    self.assertTrue(faults[0].startswith('src/%s:%d: ' % (includer, line)), faults)

    def test_a_core_library_links_what_it_includes(self):
        layers = load_check()
        table = layers.read_table(TABLE)
        for links, faults in [('tessaly_programs tessaly_comm', 0), ('tessaly_programs', 1)]:
            with self.subTest(links=links), tempfile.TemporaryDirectory() as root:
                src = write_tree(root, 'connect/Exchange.cpp', 'comm/Comm.h')
                with open(os.path.join(src, 'CMakeLists.txt'), 'w') as f:
                    f.write('tessaly_core_library(tessaly_comm)\n'
                            'tessaly_core_library(tessaly_connect\n  %s)\n'
                            '# tessaly_core_library(tessaly_connect) before it linked more\n'
                            % links)
                found = layers.check_links(src, table)
                self.assertEqual(len(found), faults, found)
                if faults:
                    self.assertTrue(found[0].startswith('src/CMakeLists.txt:2: tessaly_connect '
                                                        'does not link tessaly_comm'), found)

    def test_a_fault_fails_the_run_naming_file_and_line(self):
        with tempfile.TemporaryDirectory() as root:
            src = write_tree(root, 'protocol/Offsets.h', 'comm/Comm.h')
            result = subprocess.run([sys.executable, CHECK, '--src', src, '--table', TABLE],
                                    capture_output=True, text=True)
        self.assertEqual(result.returncode, 1)
        self.assertIn('src/protocol/Offsets.h:3: protocol may not include "comm/Comm.h"',
                      result.stdout)


if __name__ == '__main__':
    unittest.main()
