#include "IdentShutdown.h"

#include "IdentLibrary.h"

void closeIdentificationObjects()
{
    identCloseAll();
}
