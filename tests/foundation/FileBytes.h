// The bytes of files and streams in the tests, exactly as stored: fixtures,
// golden texts, and what the code under test wrote.
#ifndef KYT_TESTS_FILEBYTES_H
#define KYT_TESTS_FILEBYTES_H

#include <cstdio>
#include <string>

// Everything from the stream's position to its end.
inline std::string readStreamBytes(FILE* f)
{
    std::string s;
    int c;
    while ((c = getc(f)) != EOF)
        s += static_cast<char>(c);
    return s;
}

// Everything written to a scratch stream (tmpfile); the stream is closed.
inline std::string bytesWrittenTo(FILE* f)
{
    rewind(f);
    std::string s = readStreamBytes(f);
    fclose(f);
    return s;
}

// false when the file cannot be opened.
inline bool readFileBytes(const std::string& path, std::string* bytes)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    *bytes = readStreamBytes(f);
    fclose(f);
    return true;
}

// "" when the file cannot be opened.
inline std::string readFileBytes(const std::string& path)
{
    std::string s;
    readFileBytes(path, &s);
    return s;
}

// A file a test compares with another text. One that cannot be opened reads
// as a text naming its path, so that the comparison fails and shows where it
// looked.
inline std::string readComparedFile(const std::string& path)
{
    std::string s;
    return readFileBytes(path, &s) ? s : "<cannot open " + path + ">";
}

inline void writeFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (f) {
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
}

#endif
