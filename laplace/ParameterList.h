// The parameter names met in a transfer function, in ascending byte order,
// each with the value and comment that the generated block declares.
#ifndef KYT_LAPLACE_PARAMETERLIST_H
#define KYT_LAPLACE_PARAMETERLIST_H

class ParameterList {
public:
    struct Record {
        Record* next;
        char* name;
        char* value;
        char* comment;
    };

    ParameterList();
    ~ParameterList();

    // Nothing when the name is present; otherwise a record {name, "1.0",
    // "[?]"} goes before the first name that compares greater.
    void add(const char* name);
    void clear();

    int getCount() const { return count; }
    const Record* first() const { return head; }
    bool contains(const char* name) const;

private:
    ParameterList(const ParameterList&) = delete;
    ParameterList& operator=(const ParameterList&) = delete;

    int count;
    Record* head;
};

// A copy of text on the checked heap (freed with freeHook).
char* copyText(const char* text);

#endif
