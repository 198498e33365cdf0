// qvvantor: the control program of the Ж7-ТН4/90 signal generator.
#include "QvVantorMain.h"

int main(int argc, char** argv) {
    return RunQvVantor(argc, argv);
}
