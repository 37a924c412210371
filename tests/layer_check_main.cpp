// Entry point of the layer checks: each links one library whole with only
// the libraries it declares, so that a call upward fails to link. Nothing
// runs.
int main() { return 0; }
