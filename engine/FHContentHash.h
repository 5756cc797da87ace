#ifndef FHCONTENTHASH_H
#define FHCONTENTHASH_H

#include <QByteArray>

#include <memory>

class FHFile;

// The hash that tells a file's content again: XXH3 with 128 bits, fast enough
// to keep up with a disk, with a wide margin against chance collisions. It is
// no defence against an attacker, and nothing relies on it being one: two
// files are only called the same once their bytes were compared.
class FHContentHash
{
public:
    FHContentHash();
    ~FHContentHash();
    FHContentHash(const FHContentHash &) = delete;
    FHContentHash &operator=(const FHContentHash &) = delete;

    void add(const char *data, qint64 size);
    // "xxh3:" and 32 hex digits: the prefix tells it from the SHA-1 of older
    // journals.
    QByteArray text() const;

    // The hash of the file read from its start; empty when it cannot be read.
    static QByteArray of(FHFile &file);
    // Whether a stored hash text is one this class makes.
    static bool isOwn(const QByteArray &text);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

#endif // FHCONTENTHASH_H
