list(APPEND VTX_CLIENT_SOURCES
    recordings/ConversionWindow.cpp
    recordings/FolderTree.cpp
    recordings/VideoFolder.cpp
)
