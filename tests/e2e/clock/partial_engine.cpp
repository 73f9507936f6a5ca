// Nine of the engine's ten ordinals; 19 (unload user dictionary) is missing.
extern "C" {
void Stub2() {}
void Stub3() {}
void Stub9() {}
void Stub10() {}
void Stub12() {}
void Stub14() {}
void Stub17() {}
void Stub18() {}
void Stub26() {}
}
