// The identification library's shutdown, kept out of the window code: the
// library's headers (Meschach's among them) and windows.h do not mix.
#ifndef KYT_APP_IDENTSHUTDOWN_H
#define KYT_APP_IDENTSHUTDOWN_H

// Closes every identification object and window and the DDE client.
void closeIdentificationObjects();

#endif
