// Program entry of ZumboCave.exe; the application object arrives with the framework.
int main() { return 0; }
