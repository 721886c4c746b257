// Links every object of the program basics, the model and the device layer (see CMakeLists.txt):
// it builds only while none of them needs window code. It is never run.
int main() { return 0; }
