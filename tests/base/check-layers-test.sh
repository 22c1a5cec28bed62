#!/usr/bin/env bash
# check-layers on small trees of its own: each wrong-way include fails, each allowed one passes.
set -u
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failures=0

expect() { # expect pass|fail file include
    rm -rf "${tree:?}"/*
    mkdir -p "$tree/$(dirname "$2")"
    printf '#include <QString>\n  #include "%s"\n' "$3" >"$tree/$2"
    if "$check" "$tree" 2>/dev/null; then got=pass; else got=fail; fi
    if [ "$got" != "$1" ]; then
        echo "expected $1: $2 including $3" >&2
        failures=$((failures + 1))
    fi
}

expect fail net/Request.cpp ui/MainWindow.h
expect fail base/Settings.cpp app/Startup.h
expect fail platform/Paths.h base/Text.h
expect fail sdk/Join.cpp net/ServiceRequest.h
expect fail recordings/Scan.h sdk/OrvoAuth.h
expect fail ui/Page.h app/Startup.h
expect pass ui/Page.h sdk/OrvoAuth.h
expect pass app/Startup.cpp ui/MainWindow.h
expect pass net/Request.cpp base/MeetingNumber.h
expect pass sdk/Auth.cpp common/AppCredentials.h
expect pass ui/Page.cpp Page.h
expect pass sdk/Auth.cpp orvosdk/orvo_sdk.h

# The repository itself keeps its layers.
"$check" || { echo "the repository breaks its layers" >&2; failures=$((failures + 1)); }
exit $((failures > 0))
