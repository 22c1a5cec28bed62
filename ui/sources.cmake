# Sources of the ui/ layer, relative to the top folder.
