/* The rule that settles a saved log file's name and format.  No Windows headers. */
#ifndef VMT_SAVENAME_H
#define VMT_SAVENAME_H
#endif
