# Sources of the net/ layer, relative to the top folder.
