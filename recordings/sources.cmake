list(APPEND VTX_CLIENT_SOURCES
    recordings/FolderTree.cpp
)
