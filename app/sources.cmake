# Sources of the app/ layer (main.cpp is not part of the library).
list(APPEND VTX_CLIENT_SOURCES
    app/CommandLine.cpp
    app/ProcessLookup.cpp
    app/Startup.cpp
)
