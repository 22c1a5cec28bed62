#!/usr/bin/env bash
# load.sh BUILD_DIR: vtx-service under 50 concurrent HTTPS connections for 10 s (wrk, loopback)
# against the password look-up GET that every invitation makes (QueryListMetting).
# Prints errors, requests/s and p99 latency, then ratio lines "name ratio value baseline" where
# the baseline is the same load on a path the service answers without touching its database.
set -euo pipefail
build=$(cd "${1:?usage: load.sh BUILD_DIR}" && pwd)
service=$build/bin/vtx-service
certs=$build/certs
duration=${VTX_BENCH_SECONDS:-10}
[ -x "$service" ] || { echo "load.sh: $service is not built" >&2; exit 1; }
command -v wrk >/dev/null || { echo "load.sh: wrk is missing (scripts/install-deps)" >&2; exit 1; }

tmp=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT

"$service" --listen 127.0.0.1:0 --data "$tmp/data" --cert "$certs/server.crt" --key "$certs/server.key" \
    >"$tmp/out" 2>"$tmp/log" &
pid=$!
for _ in $(seq 100); do
    grep -q '^listening ' "$tmp/out" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || { cat "$tmp/log" >&2; exit 1; }
    sleep 0.1
done
address=$(sed -n 's/^listening //p' "$tmp/out")
[ -n "$address" ] || { echo "load.sh: the service did not start" >&2; exit 1; }

# Item 1 is the demo account's personal meeting in a fresh database.
url="https://$address/api/orvo/user/QueryListMetting?host_id=demo%40vtx.local&id=1"
curl -sf --cacert "$certs/ca.crt" "$url" | grep -q '"code":"200"' ||
    { echo "load.sh: the look-up does not answer 200" >&2; exit 1; }

run() { wrk -t2 -c50 -d"${duration}s" --timeout 5s --latency "$1" >"$2" 2>&1; }
# "99%  12.34ms" -> milliseconds
p99() { awk '$1 == "99%" { v = $2; if (v ~ /us$/) { sub(/us/, "", v); v /= 1000 } else if (v ~ /ms$/) { sub(/ms/, "", v) } else if (v ~ /s$/) { sub(/s/, "", v); v *= 1000 } printf "%.2f", v }' "$1"; }
rps() { awk '/^Requests\/sec:/ { printf "%.0f", $2 }' "$1"; }
errors() {
    awk '/Socket errors:/ { gsub(/,/, ""); n += $4 + $6 + $8 + $10 } /Non-2xx or 3xx responses:/ { n += $5 }
         END { print n + 0 }' "$1"
}

run "$url" "$tmp/measured"
run "https://$address/bench/no-such-path" "$tmp/baseline"

m_err=$(errors "$tmp/measured")
m_rps=$(rps "$tmp/measured")
m_p99=$(p99 "$tmp/measured")
b_rps=$(rps "$tmp/baseline")
b_p99=$(p99 "$tmp/baseline")
echo "vtx-service QueryListMetting, 50 connections, ${duration}s: errors $m_err, requests/s $m_rps, p99 ${m_p99}ms"
awk -v m="$m_p99" -v b="$b_p99" 'BEGIN { printf "service_query_list_p99 %.2fx %sms %sms\n", (b > 0 ? m / b : 0), m, b }'
awk -v m="$m_rps" -v b="$b_rps" 'BEGIN { printf "service_query_list_rps %.2fx %s/s %s/s\n", (b > 0 ? m / b : 0), m, b }'
[ "$m_err" -eq 0 ]
