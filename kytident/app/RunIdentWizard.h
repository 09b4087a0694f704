// The main routine of the identification wizard: start, dialog, message loop
// and the exit code the main program reads.
#ifndef KYT_KYTIDENT_RUNIDENTWIZARD_H
#define KYT_KYTIDENT_RUNIDENTWIZARD_H

class Application;

void runIdentWizard(Application* application);

#endif
