#!/usr/bin/env bash
# Starts a private CUPS scheduler on a free loopback port with one queue, NVRP_Test_File, that
# writes every job unchanged to DIR/out/job.prn; Wine sees the queue as a printer.
# Usage: wine_test_printer.sh DIR   (prints "port pid" once the scheduler listens)
set -euo pipefail
root=$1
rm -rf "$root"
mkdir -p "$root"/{etc/ppd,spool,tmp,cache,state,log,out}
chmod 777 "$root/out"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$root/etc/cups-files.conf" <<CONF
ServerRoot $root/etc
RequestRoot $root/spool
TempDir $root/tmp
CacheDir $root/cache
StateDir $root/state
ServerBin /usr/lib/cups
DataDir /usr/share/cups
ErrorLog $root/log/error_log
AccessLog $root/log/access_log
PageLog $root/log/page_log
FileDevice Yes
Sandboxing Relaxed
CONF
cat >"$root/etc/cupsd.conf" <<CONF
Listen 127.0.0.1:$port
LogLevel warn
WebInterface No
Browsing Off
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$root/etc/printers.conf" <<CONF
<Printer NVRP_Test_File>
DeviceURI file://$root/out/job.prn
State Idle
Accepting Yes
Shared No
</Printer>
CONF
# An A4 file printer that passes raw and PostScript jobs through unchanged.
cat >"$root/etc/ppd/NVRP_Test_File.ppd" <<'PPD'
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "NVRPTEST.PPD"
*Manufacturer: "Test"
*Product: "(Test)"
*ModelName: "File"
*ShortNickName: "File"
*NickName: "File"
*PSVersion: "(3010.000) 0"
*cupsFilter: "application/vnd.cups-raw 0 gziptoany"
*cupsFilter: "application/postscript 0 gziptoany"
*OpenUI *PageSize/Media Size: PickOne
*DefaultPageSize: A4
*PageSize A4/A4: ""
*CloseUI: *PageSize
*DefaultImageableArea: A4
*ImageableArea A4/A4: "0 0 595 842"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
PPD
/usr/sbin/cupsd -f -c "$root/etc/cupsd.conf" -s "$root/etc/cups-files.conf" \
  >"$root/log/cupsd.out" 2>&1 &
pid=$!
for _ in $(seq 100); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 0.2)" 2>/dev/null &&
    break
  sleep 0.05
done
echo "$port $pid"
