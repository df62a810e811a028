// Entry point of the service tool.
#include "app/startup.h"

int main() {
    RunApplication();
}
