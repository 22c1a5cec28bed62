# Sources of the sdk/ layer, relative to the top folder.
