#include "app/krelix_app.h"

int main(int argc, char** argv) { return krelix::RunKrelix(argc, argv); }
