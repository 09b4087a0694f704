// The main routine of the fuzzy-block editor: start, plain editor or fuzzy
// wizard, message loop, shutdown and the exit code the main program reads.
#ifndef KYT_KYTFUZZY_RUNAPPLICATION_H
#define KYT_KYTFUZZY_RUNAPPLICATION_H

class Application;

void runApplication(Application* application);

#endif
