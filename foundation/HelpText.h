// The longest help text a viewer shows whole: a block's help and a section
// of kythelp.txt alike.
#ifndef KYT_FOUNDATION_HELPTEXT_H
#define KYT_FOUNDATION_HELPTEXT_H

const unsigned int kMaxHelpText = 16000;

#endif
