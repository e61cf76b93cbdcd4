"""Loading the driver library and calling its exports with OLE strings (ctypes)."""

import ctypes
import ctypes.util
import os
import sys
from dataclasses import dataclass

LIBRARY_VARIABLE = "NVRP_LIBRARY"
LIBRARY_NAME = "NVRP_RORERER_10"

COMMANDS = (
    "PRINTFR", "REPRINTFR", "PRINTNFR", "PRINTXR", "PRINTZR", "DISPLAY", "OPENDR",
    "GETDRSTATUS", "GETSTATUS", "SET", "SETDATETIME", "OPEN", "CLOSE", "GETVATTABLE",
    "SETVATTABLE", "GETDEPTTABLE", "SETDEPTTABLE", "EJREPORT", "GETEJFILES",
    "GETLOTTERYRCPTSTATUS", "PAY", "VERSION",
)


@dataclass(frozen=True)
class RawAnswer:
    """What one exported call gave back, untouched."""

    result: int      # 0 on success, -1 on failure
    fragment: str    # the result fragment: XML elements without a root element
    error_text: str  # empty on success


def _file_name():
    return LIBRARY_NAME + ".dll" if sys.platform == "win32" else "lib" + LIBRARY_NAME + ".so"


def _installed_candidates():
    """The library beside this package, and in the lib folder of every folder above it (an
    install prefix: <prefix>/lib/python3/dist-packages/nvrp_rorerer_10 finds <prefix>/lib)."""
    package = os.path.dirname(os.path.abspath(__file__))
    folders = [package]
    folder = package
    for _ in range(5):
        folder = os.path.dirname(folder)
        folders += [folder, os.path.join(folder, "lib")]
    return [os.path.join(folder, _file_name()) for folder in folders]


def _default_path():
    """$NVRP_LIBRARY, else an installed library found from this package's place, else the
    library as the system linker finds it."""
    configured = os.environ.get(LIBRARY_VARIABLE)
    if configured:
        return configured
    for candidate in _installed_candidates():
        if os.path.isfile(candidate):
            return candidate
    found = ctypes.util.find_library(LIBRARY_NAME)
    if found:
        return found
    return _file_name()


def _load(path, loader):
    try:
        return loader(path)
    except OSError as error:
        raise OSError("cannot load the driver library %s (%s): set %s to the library's path, "
                      "for example %s=/opt/nvrp/lib/%s"
                      % (path, error, LIBRARY_VARIABLE, LIBRARY_VARIABLE, _file_name())) from error


class Library:
    """The loaded driver library.

    `path` names the library file; without it $NVRP_LIBRARY is used, else the library beside
    this package or in an install prefix above it, else the name the system's linker finds
    (libNVRP_RORERER_10.so, or NVRP_RORERER_10.dll on Windows). A library that cannot be
    loaded raises OSError naming NVRP_LIBRARY. A process should load the library once: its open devices live in it.
    """

    def __init__(self, path=None):
        self.path = str(path) if path is not None else _default_path()
        if sys.platform == "win32":
            self._dll = _load(self.path, ctypes.WinDLL)  # the exports use __stdcall
            strings = ctypes.windll.oleaut32
        else:
            self._dll = _load(self.path, ctypes.CDLL)
            strings = self._dll
        self._alloc = strings.SysAllocStringLen
        self._alloc.argtypes = (ctypes.c_char_p, ctypes.c_uint32)
        self._alloc.restype = ctypes.c_void_p
        self._length = strings.SysStringLen
        self._length.argtypes = (ctypes.c_void_p,)
        self._length.restype = ctypes.c_uint32
        self._free = strings.SysFreeString
        self._free.argtypes = (ctypes.c_void_p,)
        self._free.restype = None
        self._commands = {}

    def _command(self, name):
        if name not in COMMANDS:
            raise ValueError("unknown command: " + name)
        if name not in self._commands:
            function = getattr(self._dll, name)
            function.argtypes = (ctypes.c_void_p, ctypes.POINTER(ctypes.c_void_p),
                                 ctypes.POINTER(ctypes.c_void_p))
            function.restype = ctypes.c_int16
            self._commands[name] = function
        return self._commands[name]

    def _to_ole(self, text):
        units = text.encode("utf-16-le", "surrogatepass")
        value = self._alloc(units, len(units) // 2)
        if not value and units:
            raise MemoryError("SysAllocStringLen failed")
        return value

    def _take(self, value):
        """The text of a string the library handed out, which is then freed."""
        if not value:
            return ""
        try:
            units = ctypes.string_at(value, self._length(value) * 2)
            return units.decode("utf-16-le", "surrogatepass")
        finally:
            self._free(value)

    def call(self, command, request):
        """Calls one export with a request text and returns its RawAnswer."""
        function = self._command(command)
        source = self._to_ole(request)
        output = ctypes.c_void_p()
        error = ctypes.c_void_p()
        try:
            result = function(source, ctypes.byref(output), ctypes.byref(error))
        finally:
            self._free(source)
        return RawAnswer(result, self._take(output.value), self._take(error.value))

    def version(self, driver=LIBRARY_NAME):
        """The driver's version text ("Version 1.8 - ..."), empty for an unknown driver."""
        return self.call("VERSION", driver).fragment

