#include "program.h"
#include "zeltrakapplication.h"

int main(int argc, char *argv[])
{
    ZeltrakApplication app(argc, argv);
    ZeltrakProgram program;
    return program.run();
}
