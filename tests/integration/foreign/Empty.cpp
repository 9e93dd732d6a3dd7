// Stands for another OpenPegasus's libpegcommon.so and libpegprovider.so: libraries of our
// libraries' names that have none of their symbols.
int foreignPegasusLibrary = 0;
