// The data-flow order of the INIT and CONT statements: a statement goes
// before every statement that reads what it assigns. Statements that can
// never be ordered are an algebraic loop (or a missing assignment); they are
// listed in kytsym.tmp and shown. Afterwards every variable must have been
// initialized or assigned as its kind requires, and every procedure used.
#ifndef KYT_COMPILER_STATEMENTORDERING_H
#define KYT_COMPILER_STATEMENTORDERING_H

// 0, or 1 after a message or an algebraic loop.
int orderStatements();

// The priority counter: the priority the next procedure attached to a
// continuous statement gets is one below it.
const int kFirstPriorityCounter = 1000;

#endif
