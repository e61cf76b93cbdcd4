// The 22 exports of the NVRP_RORERER_10 driver library, declared for P/Invoke.
//
// Every command takes its request as an OLE string (BSTR) and hands back two new ones, the
// result fragment and the error text. The marshaller makes the request's BSTR before the call
// and frees it after, and turns both output BSTRs into strings and frees them (with
// SysFreeString on Windows; on Linux Mono's BSTR is the library's own layout, a 4-byte byte
// length before the UTF-16 text, allocated with malloc). A NULL output arrives as null.
//
// Windows: NVRP_RORERER_10.dll beside the program's executable; the program must run as a
// 32-bit process (x86) when the DLL is the 32-bit one. Linux: libNVRP_RORERER_10.so where the
// loader finds it (LD_LIBRARY_PATH, or the system's library folders).
//
// Written for .NET Framework 4.x and .NET 6 or later alike.

using System.Collections.Generic;
using System.Runtime.InteropServices;

namespace NvrpRorerer10
{
    /// <summary>The exported functions, one per command: 0 on success, -1 on failure.</summary>
    public static class NativeMethods
    {
        public const string Library = "NVRP_RORERER_10";

        // Winapi is __stdcall on 32-bit Windows, as the DLL exports them, and the platform's
        // own C convention everywhere else.
        private const CallingConvention Convention = CallingConvention.Winapi;

        /// <summary>The shape every command shares.</summary>
        public delegate short Command(string aXml, out string aOutput, out string aErrorMessage);

        /// <summary>The commands by their exported name.</summary>
        public static readonly IDictionary<string, Command> Commands = new Dictionary<string, Command>
        {
            { "PRINTFR", PRINTFR },
            { "REPRINTFR", REPRINTFR },
            { "PRINTNFR", PRINTNFR },
            { "PRINTXR", PRINTXR },
            { "PRINTZR", PRINTZR },
            { "DISPLAY", DISPLAY },
            { "OPENDR", OPENDR },
            { "GETDRSTATUS", GETDRSTATUS },
            { "GETSTATUS", GETSTATUS },
            { "SET", SET },
            { "SETDATETIME", SETDATETIME },
            { "OPEN", OPEN },
            { "CLOSE", CLOSE },
            { "GETVATTABLE", GETVATTABLE },
            { "SETVATTABLE", SETVATTABLE },
            { "GETDEPTTABLE", GETDEPTTABLE },
            { "SETDEPTTABLE", SETDEPTTABLE },
            { "EJREPORT", EJREPORT },
            { "GETEJFILES", GETEJFILES },
            { "GETLOTTERYRCPTSTATUS", GETLOTTERYRCPTSTATUS },
            { "PAY", PAY },
            { "VERSION", VERSION },
        };

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short PRINTFR([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short REPRINTFR([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short PRINTNFR([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short PRINTXR([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short PRINTZR([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short DISPLAY([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short OPENDR([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short GETDRSTATUS([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short GETSTATUS([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short SET([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short SETDATETIME([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short OPEN([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short CLOSE([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short GETVATTABLE([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short SETVATTABLE([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short GETDEPTTABLE([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short SETDEPTTABLE([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short EJREPORT([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short GETEJFILES([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short GETLOTTERYRCPTSTATUS([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short PAY([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);

        [DllImport(Library, CallingConvention = Convention, ExactSpelling = true)]
        public static extern short VERSION([MarshalAs(UnmanagedType.BStr)] string aXml,
            [MarshalAs(UnmanagedType.BStr)] out string aOutput,
            [MarshalAs(UnmanagedType.BStr)] out string aErrorMessage);
    }
}
