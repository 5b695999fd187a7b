int __stdcall WinMain(struct HINSTANCE__*, struct HINSTANCE__*, char*, int) { return 0; }
