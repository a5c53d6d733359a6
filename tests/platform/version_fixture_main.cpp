// A program that does nothing: the tests read only its file.
int main() { return 0; }
