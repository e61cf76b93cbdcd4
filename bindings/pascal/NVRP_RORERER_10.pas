{ NVRP_RORERER_10: the 22 exports of the fiscal-printer driver library for Delphi and Free
  Pascal (fpc -Mdelphi).

  Every command takes its request as an OLE string and stores two new ones, the result
  fragment and the error text; it answers 0 on success and -1 on failure.

  On Windows the exports are stdcall and TNvrpString is WideString, which is a BSTR of
  OleAut32: Delphi frees the request's and the answers' strings itself. Elsewhere TNvrpString
  is the library's own OLE string (a pointer to UTF-16 text with its byte length in the four
  bytes before it), made and freed with the library's SysAllocStringLen, SysStringLen and
  SysFreeString; NvrpCall does that for you. A NULL string is the empty text.

  NvrpCall works alike on both: UnicodeString in, UnicodeString out. }
unit NVRP_RORERER_10;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

const
{$IFDEF MSWINDOWS}
  NvrpLibrary = 'NVRP_RORERER_10.dll';
{$ELSE}
  NvrpLibrary = 'libNVRP_RORERER_10.so';
{$ENDIF}
  NvrpDriver = 'NVRP_RORERER_10';
  NvrpCommandNames: array[0..21] of string = ('PRINTFR', 'REPRINTFR', 'PRINTNFR', 'PRINTXR', 'PRINTZR', 'DISPLAY', 'OPENDR', 'GETDRSTATUS', 'GETSTATUS', 'SET', 'SETDATETIME', 'OPEN', 'CLOSE', 'GETVATTABLE', 'SETVATTABLE', 'GETDEPTTABLE', 'SETDEPTTABLE', 'EJREPORT', 'GETEJFILES', 'GETLOTTERYRCPTSTATUS', 'PAY', 'VERSION');
  { PRINTFR's error text when the device could not tell whether it counted the receipt. }
  NvrpReceiptUncertain =
    'The receipt may have been printed: check the device before printing it again';

type
{$IFDEF MSWINDOWS}
  TNvrpString = WideString;
{$ELSE}
  TNvrpString = PWideChar;
{$ENDIF}
  TNvrpCommand = function(aXml: TNvrpString; out aOutput: TNvrpString;
    out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};

function PRINTFR(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function REPRINTFR(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function PRINTNFR(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function PRINTXR(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function PRINTZR(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function DISPLAY(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function OPENDR(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function GETDRSTATUS(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function GETSTATUS(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function &SET(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function SETDATETIME(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function OPEN(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function CLOSE(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function GETVATTABLE(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function SETVATTABLE(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function GETDEPTTABLE(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function SETDEPTTABLE(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function EJREPORT(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function GETEJFILES(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function GETLOTTERYRCPTSTATUS(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function PAY(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};
function VERSION(aXml: TNvrpString; out aOutput: TNvrpString; out aErrorMessage: TNvrpString): SmallInt; {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};

{$IFNDEF MSWINDOWS}
{ The library's string functions, with OLE automation semantics. }
function NvrpSysAllocStringLen(aText: PWideChar; aLength: Cardinal): TNvrpString; cdecl;
function NvrpSysStringLen(aValue: TNvrpString): Cardinal; cdecl;
procedure NvrpSysFreeString(aValue: TNvrpString); cdecl;
{$ENDIF}

{ The export of a command by its name (case as exported); nil for an unknown name. }
function NvrpCommand(const aName: string): TNvrpCommand;

{ Calls one command with a request; aOutput receives the result fragment, aErrorText the error
  text. Answers the command's result, 0 or -1 (-1 also for an unknown command name). }
function NvrpCall(const aCommand: string; const aRequest: UnicodeString;
  out aOutput, aErrorText: UnicodeString): SmallInt;

implementation

uses SysUtils;

{ SET is a reserved word: &SET is the export SET. }

function PRINTFR; external NvrpLibrary;
function REPRINTFR; external NvrpLibrary;
function PRINTNFR; external NvrpLibrary;
function PRINTXR; external NvrpLibrary;
function PRINTZR; external NvrpLibrary;
function DISPLAY; external NvrpLibrary;
function OPENDR; external NvrpLibrary;
function GETDRSTATUS; external NvrpLibrary;
function GETSTATUS; external NvrpLibrary;
function &SET; external NvrpLibrary name 'SET';
function SETDATETIME; external NvrpLibrary;
function OPEN; external NvrpLibrary;
function CLOSE; external NvrpLibrary;
function GETVATTABLE; external NvrpLibrary;
function SETVATTABLE; external NvrpLibrary;
function GETDEPTTABLE; external NvrpLibrary;
function SETDEPTTABLE; external NvrpLibrary;
function EJREPORT; external NvrpLibrary;
function GETEJFILES; external NvrpLibrary;
function GETLOTTERYRCPTSTATUS; external NvrpLibrary;
function PAY; external NvrpLibrary;
function VERSION; external NvrpLibrary;

{$IFNDEF MSWINDOWS}
function NvrpSysAllocStringLen; external NvrpLibrary name 'SysAllocStringLen';
function NvrpSysStringLen; external NvrpLibrary name 'SysStringLen';
procedure NvrpSysFreeString; external NvrpLibrary name 'SysFreeString';
{$ENDIF}

function NvrpCommand(const aName: string): TNvrpCommand;
var
  i: Integer;
begin
  Result := nil;
  for i := Low(NvrpCommandNames) to High(NvrpCommandNames) do
    if NvrpCommandNames[i] = aName then
      case i of
    0: Result := @PRINTFR;
    1: Result := @REPRINTFR;
    2: Result := @PRINTNFR;
    3: Result := @PRINTXR;
    4: Result := @PRINTZR;
    5: Result := @DISPLAY;
    6: Result := @OPENDR;
    7: Result := @GETDRSTATUS;
    8: Result := @GETSTATUS;
    9: Result := @&SET;
    10: Result := @SETDATETIME;
    11: Result := @OPEN;
    12: Result := @CLOSE;
    13: Result := @GETVATTABLE;
    14: Result := @SETVATTABLE;
    15: Result := @GETDEPTTABLE;
    16: Result := @SETDEPTTABLE;
    17: Result := @EJREPORT;
    18: Result := @GETEJFILES;
    19: Result := @GETLOTTERYRCPTSTATUS;
    20: Result := @PAY;
    21: Result := @VERSION;
      end;
end;

{ Empties the answers and finds the command; False, with the error text set, for an unknown
  name. }
function StartCall(const aCommand: string; out aFound: TNvrpCommand;
  out aOutput, aErrorText: UnicodeString): Boolean;
begin
  aOutput := '';
  aErrorText := '';
  aFound := NvrpCommand(aCommand);
  Result := Assigned(aFound);
  if not Result then aErrorText := 'Unknown command ' + UnicodeString(aCommand);
end;

{$IFDEF MSWINDOWS}
function NvrpCall(const aCommand: string; const aRequest: UnicodeString;
  out aOutput, aErrorText: UnicodeString): SmallInt;
var
  command: TNvrpCommand;
  output, error: WideString;
begin
  if not StartCall(aCommand, command, aOutput, aErrorText) then Exit(-1);
  Result := command(WideString(aRequest), output, error);
  aOutput := output;
  aErrorText := error;
end;
{$ELSE}
{ The text of a string the library handed out, which is then freed. }
function TakeString(var aValue: TNvrpString): UnicodeString;
begin
  Result := '';
  if aValue = nil then Exit;
  SetString(Result, aValue, NvrpSysStringLen(aValue));
  NvrpSysFreeString(aValue);
  aValue := nil;
end;

function NvrpCall(const aCommand: string; const aRequest: UnicodeString;
  out aOutput, aErrorText: UnicodeString): SmallInt;
var
  command: TNvrpCommand;
  request, output, error: TNvrpString;
begin
  if not StartCall(aCommand, command, aOutput, aErrorText) then Exit(-1);
  request := NvrpSysAllocStringLen(PWideChar(aRequest), Length(aRequest));
  if (request = nil) and (aRequest <> '') then raise EOutOfMemory.Create('SysAllocStringLen failed');
  output := nil;
  error := nil;
  try
    Result := command(request, output, error);
  finally
    NvrpSysFreeString(request);
    aOutput := TakeString(output);
    aErrorText := TakeString(error);
  end;
end;
{$ENDIF}

end.
