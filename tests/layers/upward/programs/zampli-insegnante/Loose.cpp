// A file in no room of the program.
