{ The Pascal unit's strings against the library: texts made with the library's
  SysAllocStringLen keep their length and units, commands answer through NvrpCall, and a NULL
  answer is the empty text. Exits 1 on the first failed check. }
program nvrp_unit_test;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}
{$APPTYPE CONSOLE}

uses SysUtils, NVRP_RORERER_10;

var
  failures: Integer = 0;

procedure Check(aOk: Boolean; const aWhat: string);
begin
  if aOk then Exit;
  Inc(failures);
  WriteLn('FAIL: ', aWhat);
end;

procedure StringsKeepTheirText;
const
  Greek: array[0..8] of WideChar = (#$03A6, #$03AD, #$03C4, #$03B1, ' ', '&', ' ', '<', #$00E9);
var
  texts: array[0..3] of UnicodeString;
  value: TNvrpString;
  i: Integer;
begin
  texts[0] := '';
  texts[1] := 'A';
  SetString(texts[2], PWideChar(@Greek[0]), Length(Greek));
  texts[3] := UnicodeString(StringOfChar('x', 70000));
  for i := Low(texts) to High(texts) do
  begin
{$IFNDEF MSWINDOWS}
    value := NvrpSysAllocStringLen(PWideChar(texts[i]), Length(texts[i]));
    Check(NvrpSysStringLen(value) = Cardinal(Length(texts[i])), 'SysStringLen of text ' + IntToStr(i));
    Check(CompareMem(value, PWideChar(texts[i]), Length(texts[i]) * SizeOf(WideChar)),
      'units of text ' + IntToStr(i));
    Check(value[Length(texts[i])] = #0, 'NUL after text ' + IntToStr(i));
    NvrpSysFreeString(value);
{$ENDIF}
  end;
{$IFNDEF MSWINDOWS}
  NvrpSysFreeString(nil);
  Check(NvrpSysStringLen(nil) = 0, 'SysStringLen of NULL');
{$ENDIF}
end;

procedure CommandsAnswer;
var
  output, errorText: UnicodeString;
begin
  Check(NvrpCall('VERSION', NvrpDriver, output, errorText) = 0, 'VERSION answers 0');
  Check(Copy(output, 1, 8) = 'Version ', 'VERSION text: ' + UTF8Encode(output));
  Check(NvrpCall('VERSION', 'OTHER', output, errorText) = 0, 'VERSION of another driver');
  Check(output = '', 'VERSION of another driver is empty');
  Check(NvrpCall('GETSTATUS', '<Request><Handle>', output, errorText) = -1, 'no XML answers -1');
  Check(errorText <> '', 'no XML has an error text');
  Check(NvrpCall('PRINT', '', output, errorText) = -1, 'an unknown command answers -1');
  Check(Assigned(NvrpCommand('SET')) and Assigned(NvrpCommand('GETLOTTERYRCPTSTATUS')),
    'every command is found by name');
end;

begin
  StringsKeepTheirText;
  CommandsAnswer;
  if failures = 0 then WriteLn('Pascal unit: all checks passed')
  else WriteLn('Pascal unit: ', failures, ' failed');
  if failures <> 0 then Halt(1);
end.
