# Sources of the recordings/ layer, relative to the top folder.
