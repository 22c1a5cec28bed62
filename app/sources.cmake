# Sources of the app/ layer, relative to the top folder.
