// The simulator services that the neural-net code uses, and the one setting
// of the workspace it needs. The NN registration copies the services here;
// the library, the training run and the file writers report through them.
#ifndef KYT_BLOCKS_NETHOST_H
#define KYT_BLOCKS_NETHOST_H

#include "ModuleDescriptor.h"

// Copies the five services the neural-net code uses: isCompiling,
// alwaysFalse, requestErrorStop, moduleMessage and stringConstant (null:
// back to the defaults, which show messages through the error reporter and
// ignore stop requests).
void setNetHostServices(const HostServices* services);
const HostServices& netHostServices();

// The circuits directory of kyt.ini (CIRCUITDIR), which names the directory
// of pattern files. The program installs the workspace's; null, or no
// source, gives the empty text (the current directory).
typedef const char* (*NetDirectorySource)();
void setNetCircuitsDirectorySource(NetDirectorySource source);
const char* netCircuitsDirectory();

// The library's diagnostic output: texts such as "ERROR_OVERFLOW" go here
// and are shown nowhere.
void netDiagnostic(const char* text);

#endif
