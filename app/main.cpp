// Entry point of pbrain-vantrel (the protocol front end fills it in).
int main() { return 0; }
