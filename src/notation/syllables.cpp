#include "notation/syllables.h"

#include "notation/linetext.h"

#include "common/featuremessages.h"
#include "common/messages.h"

#include <QChar>

#include <algorithm>
#include <bit>
#include <unordered_set>

namespace vordane::notation {

namespace nmsg = messages::notation;

namespace {

constexpr int kMaxDepth = 32;

struct Token {
    enum Kind { Class, Open, Close, Star, Plus, Bar, Comma };
    Kind kind = Class;
    QString text;
    qsizetype unit = 0;
};

struct Fault {
    qsizetype unit = 0;
    QString reason;
};

// A part as written, before it becomes an automaton.
struct Node {
    enum Kind { Class, Sequence, Optional, Star, Plus };
    Kind kind = Sequence;
    int cls = -1;
    std::vector<Node> children;
};

// What a node contributes to its parent's position automaton.
struct Glushkov {
    bool nullable = true;
    std::uint64_t first = 0;
    std::uint64_t last = 0;
};

} // namespace

// Builds the position automaton of a part.
class SyllablePartBuilder {
public:
    // False when the part has more positions than a mask holds.
    static bool build(const Node &root, SyllablePart &out)
    {
        out = SyllablePart();
        if (count(root) > SyllablePart::kMaxPositions)
            return false;
        const Glushkov g = visit(root, out);
        out.first_ = g.first;
        out.last_ = g.last;
        out.nullable_ = g.nullable;
        out.precede_.assign(out.classes_.size(), 0);
        for (std::size_t p = 0; p < out.follow_.size(); ++p) {
            for (std::uint64_t f = out.follow_[p]; f; f &= f - 1)
                out.precede_[std::size_t(std::countr_zero(f))] |= std::uint64_t(1) << p;
        }
        return true;
    }

    // The nuclei of every pattern side by side; false when they are too many.
    static bool join(const std::vector<SyllablePattern> &patterns, SyllablePart &out)
    {
        out = SyllablePart();
        out.nullable_ = false;
        for (const SyllablePattern &pattern : patterns) {
            const SyllablePart &part = pattern.nucleus;
            const auto offset = unsigned(out.classes_.size());
            if (out.classes_.size() + part.classes_.size() > std::size_t(SyllablePart::kMaxPositions))
                return false;
            out.classes_.insert(out.classes_.end(), part.classes_.begin(), part.classes_.end());
            for (const std::uint64_t f : part.follow_)
                out.follow_.push_back(f << offset);
            for (const std::uint64_t f : part.precede_)
                out.precede_.push_back(f << offset);
            out.first_ |= part.first_ << offset;
            out.last_ |= part.last_ << offset;
            out.bounded_ = out.bounded_ && part.bounded_;
        }
        return true;
    }

private:
    static int count(const Node &node)
    {
        int n = node.kind == Node::Class ? 1 : 0;
        for (const Node &child : node.children)
            n += count(child);
        return n;
    }

    static void link(SyllablePart &part, std::uint64_t from, std::uint64_t to)
    {
        for (; from; from &= from - 1)
            part.follow_[std::size_t(std::countr_zero(from))] |= to;
    }

    static Glushkov visit(const Node &node, SyllablePart &part)
    {
        switch (node.kind) {
        case Node::Class: {
            const auto p = unsigned(part.classes_.size());
            part.classes_.push_back(node.cls);
            part.follow_.push_back(0);
            return {false, std::uint64_t(1) << p, std::uint64_t(1) << p};
        }
        case Node::Sequence: {
            Glushkov g;
            for (const Node &child : node.children) {
                const Glushkov c = visit(child, part);
                link(part, g.last, c.first);
                if (g.nullable)
                    g.first |= c.first;
                g.last = c.nullable ? g.last | c.last : c.last;
                g.nullable = g.nullable && c.nullable;
            }
            return g;
        }
        case Node::Optional: {
            Glushkov g = visit(node.children.front(), part);
            g.nullable = true;
            return g;
        }
        case Node::Star:
        case Node::Plus: {
            part.bounded_ = false;
            Glushkov g = visit(node.children.front(), part);
            link(part, g.last, g.first);
            g.nullable = g.nullable || node.kind == Node::Star;
            return g;
        }
        }
        return {};
    }
};

std::uint64_t SyllablePart::matching(ClassMask segment) const
{
    std::uint64_t out = 0;
    for (std::size_t p = 0; p < classes_.size(); ++p) {
        if ((segment >> unsigned(classes_[p])) & 1U)
            out |= std::uint64_t(1) << p;
    }
    return out;
}

std::uint64_t SyllablePart::step(std::uint64_t state, ClassMask segment) const
{
    std::uint64_t next = (state & kStart) ? first_ : 0;
    for (std::uint64_t s = state & ~kStart; s; s &= s - 1)
        next |= follow_[std::size_t(std::countr_zero(s))];
    return next ? next & matching(segment) : 0;
}

std::uint64_t SyllablePart::reverseStep(std::uint64_t state, ClassMask segment) const
{
    std::uint64_t next = (state & kStart) ? last_ : 0;
    for (std::uint64_t s = state & ~kStart; s; s &= s - 1)
        next |= precede_[std::size_t(std::countr_zero(s))];
    return next ? next & matching(segment) : 0;
}

bool SyllablePart::accepts(std::span<const ClassMask> word, qsizetype from, qsizetype to) const
{
    std::uint64_t state = kStart;
    for (qsizetype i = from; i < to && state; ++i)
        state = step(state, word[std::size_t(i)]);
    return accepting(state);
}

void SyllablePart::prefixes(std::span<const ClassMask> word, qsizetype from, qsizetype to, std::vector<char> &out) const
{
    out.assign(std::size_t(to - from + 1), 0);
    out[0] = nullable_;
    std::uint64_t state = kStart;
    for (qsizetype i = from; i < to; ++i) {
        state = step(state, word[std::size_t(i)]);
        if (!state)
            break;
        out[std::size_t(i - from + 1)] = (state & last_) != 0;
    }
}

void SyllablePart::suffixes(std::span<const ClassMask> word, qsizetype from, qsizetype to, std::vector<char> &out) const
{
    out.assign(std::size_t(to - from + 1), 0);
    out[std::size_t(to - from)] = nullable_;
    std::uint64_t state = kStart;
    for (qsizetype i = to - 1; i >= from; --i) {
        state = reverseStep(state, word[std::size_t(i)]);
        if (!state)
            break;
        out[std::size_t(i - from)] = (state & first_) != 0;
    }
}

namespace {

class LineReader {
public:
    LineReader(const QString &line, const ClassResolver &resolve, SyllableSpec &out)
        : line_(line)
        , resolve_(resolve)
        , out_(out)
    {
    }

    std::optional<Fault> read(qsizetype from)
    {
        if (std::optional<Fault> fault = tokenize(from))
            return fault;
        if (tokens_.empty())
            return Fault{from, nmsg::kBadSyllables};
        while (true) {
            SyllablePattern pattern;
            const qsizetype patternAt = at_ < tokens_.size() ? tokens_[at_].unit : line_.size();
            std::vector<Node> parts;
            std::vector<qsizetype> partAt;
            while (true) {
                partAt.push_back(at_ < tokens_.size() ? tokens_[at_].unit : line_.size());
                Node part;
                if (std::optional<Fault> fault = sequence(part, 0))
                    return fault;
                parts.push_back(std::move(part));
                if (at_ < tokens_.size() && tokens_[at_].kind == Token::Bar) {
                    if (parts.size() == 3)
                        return Fault{tokens_[at_].unit, nmsg::kTooManyParts};
                    ++at_;
                    continue;
                }
                break;
            }
            if (at_ < tokens_.size() && tokens_[at_].kind == Token::Close)
                return Fault{tokens_[at_].unit, nmsg::kUnopenedGroup};
            if (parts.size() == 1 && parts[0].children.empty())
                return Fault{patternAt, nmsg::kEmptyPattern};
            // One part: the nucleus; two: onset and nucleus.
            const std::size_t nucleus = parts.size() == 1 ? 0 : 1;
            SyllablePart *built[3] = {&pattern.onset, &pattern.nucleus, &pattern.coda};
            for (std::size_t k = 0; k < parts.size(); ++k) {
                SyllablePart &part = *built[parts.size() == 1 ? 1 : k];
                if (!SyllablePartBuilder::build(parts[k], part))
                    return Fault{partAt[k], nmsg::kSyllablePartTooLong};
            }
            if (pattern.nucleus.nullable())
                return Fault{partAt[nucleus], nmsg::kEmptyNucleus};
            out_.patterns.push_back(std::move(pattern));
            if (at_ == tokens_.size())
                break;
            ++at_; // the comma
        }
        if (!SyllablePartBuilder::join(out_.patterns, out_.nuclei))
            return Fault{from, nmsg::kSyllablePartTooLong};
        return std::nullopt;
    }

private:
    std::optional<Fault> tokenize(qsizetype from)
    {
        for (qsizetype i = from; i < line_.size();) {
            const QChar c = line_.at(i);
            Token token;
            token.unit = i;
            switch (c.unicode()) {
            case u' ':
                ++i;
                continue;
            case u'(': token.kind = Token::Open; break;
            case u')': token.kind = Token::Close; break;
            case u'*': token.kind = Token::Star; break;
            case u'+': token.kind = Token::Plus; break;
            case u'|': token.kind = Token::Bar; break;
            case u',': token.kind = Token::Comma; break;
            case u']':
                return Fault{i, nmsg::kUnopenedBracket};
            case u'[': {
                qsizetype end = i + 1;
                while (end < line_.size() && line_.at(end) != u']')
                    end += line_.at(end) == u'\\' ? 2 : 1;
                if (end >= line_.size())
                    return Fault{i, nmsg::kUnclosedBracket};
                token.text = line_.sliced(i, end - i + 1);
                tokens_.push_back(token);
                i = end + 1;
                continue;
            }
            case u'!': case u'#': case u'$': case u'.': case u'{': case u'}': case u'&': case u'_': case u'/':
            case u'>': case u'=': case u'?': case u'@': case 0x2026:
                return Fault{i, nmsg::kNotInSyllable};
            default: {
                // A letter (or "\c") with the combining marks that follow.
                qsizetype start = i;
                if (c == u'\\') {
                    if (++i == line_.size())
                        return Fault{start, nmsg::kEscapeAtEnd};
                    start = i;
                }
                qsizetype units = 0;
                codePointAt(line_, i, &units);
                i += units;
                while (i < line_.size() && isCombiningMark(codePointAt(line_, i, &units)))
                    i += units;
                token.text = line_.sliced(start, i - start);
                tokens_.push_back(token);
                continue;
            }
            }
            tokens_.push_back(token);
            ++i;
        }
        return std::nullopt;
    }

    bool atEndOfSequence() const
    {
        if (at_ == tokens_.size())
            return true;
        const Token::Kind kind = tokens_[at_].kind;
        return kind == Token::Close || kind == Token::Bar || kind == Token::Comma;
    }

    std::optional<Fault> sequence(Node &out, int depth)
    {
        out.kind = Node::Sequence;
        while (!atEndOfSequence()) {
            const Token &token = tokens_[at_];
            Node element;
            if (token.kind == Token::Star || token.kind == Token::Plus)
                return Fault{token.unit, nmsg::kNothingToRepeat};
            if (token.kind == Token::Class) {
                element.kind = Node::Class;
                QString reason;
                element.cls = classOf(token.text, reason);
                if (element.cls < 0)
                    return Fault{token.unit, reason};
                ++at_;
            } else { // "("
                if (depth >= kMaxDepth)
                    return Fault{token.unit, nmsg::kTooDeep};
                ++at_;
                Node inner;
                if (std::optional<Fault> fault = sequence(inner, depth + 1))
                    return fault;
                if (at_ == tokens_.size() || tokens_[at_].kind != Token::Close)
                    return Fault{token.unit, nmsg::kUnclosedGroup};
                if (inner.children.empty())
                    return Fault{token.unit, nmsg::kEmptyGroup};
                ++at_;
                // "(P)*" and "(P)+" repeat P; "(P)" alone is P or nothing.
                element.kind = Node::Optional;
                if (at_ < tokens_.size() && tokens_[at_].kind == Token::Star)
                    element.kind = Node::Star;
                else if (at_ < tokens_.size() && tokens_[at_].kind == Token::Plus)
                    element.kind = Node::Plus;
                if (element.kind != Node::Optional)
                    ++at_;
                element.children.push_back(std::move(inner));
            }
            while (at_ < tokens_.size()
                   && (tokens_[at_].kind == Token::Star || tokens_[at_].kind == Token::Plus)) {
                Node repeated;
                repeated.kind = tokens_[at_].kind == Token::Star ? Node::Star : Node::Plus;
                repeated.children.push_back(std::move(element));
                element = std::move(repeated);
                ++at_;
            }
            out.children.push_back(std::move(element));
        }
        return std::nullopt;
    }

    int classOf(const QString &written, QString &reason)
    {
        const qsizetype known = out_.classes.indexOf(written);
        if (known >= 0)
            return int(known);
        if (out_.classes.size() == kMaxSyllableClasses) {
            reason = nmsg::kTooManySyllableClasses;
            return -1;
        }
        const int id = resolve_(written, reason);
        if (id < 0)
            return -1;
        out_.classes.append(written);
        out_.classIds.push_back(id);
        return int(out_.classes.size()) - 1;
    }

    const QString &line_;
    const ClassResolver &resolve_;
    SyllableSpec &out_;
    std::vector<Token> tokens_;
    std::size_t at_ = 0;
};

// A place and state of the nucleus scan from which no longer nucleus can be
// found.
struct Failed {
    qsizetype at;
    std::uint64_t state;
    bool operator==(const Failed &) const = default;
};
struct FailedHash {
    std::size_t operator()(const Failed &f) const noexcept
    {
        return std::hash<std::uint64_t>()(f.state * 0x9E3779B97F4A7C15ULL ^ std::uint64_t(f.at));
    }
};

} // namespace

bool isSyllableDirective(const QString &name)
{
    return plainName(name) == QStringLiteral("@silabas");
}

std::optional<RuleError> readSyllables(qsizetype index, const QString &line, const ClassResolver &resolve,
                                       SyllableSpec &out)
{
    out = SyllableSpec();
    qsizetype from = 0;
    while (from < line.size() && line.at(from) == u' ')
        ++from;
    while (from < line.size() && line.at(from) != u' ')
        ++from;
    const QString rest = plainName(line.mid(from).trimmed());
    if (rest == QStringLiteral("explicitas")) {
        out.mode = SyllableSpec::Mode::Explicit;
        return std::nullopt;
    }
    if (rest == QStringLiteral("ninguna")) {
        out.mode = SyllableSpec::Mode::None;
        return std::nullopt;
    }
    out.mode = SyllableSpec::Mode::Patterns;
    LineReader reader(line, resolve, out);
    if (std::optional<Fault> fault = reader.read(from)) {
        out = SyllableSpec();
        return RuleError{index, characterPosition(line, fault->unit), fault->reason, line};
    }
    return std::nullopt;
}

std::vector<ClassMask> classify(std::span<const SegmentId> word, const SyllableSpec &cutting,
                                const std::function<bool(int, SegmentId)> &member)
{
    std::vector<ClassMask> out(word.size(), 0);
    for (std::size_t i = 0; i < word.size(); ++i) {
        for (std::size_t c = 0; c < cutting.classIds.size(); ++c) {
            if (member(cutting.classIds[c], word[i]))
                out[i] |= ClassMask(1) << c;
        }
    }
    return out;
}

bool syllabify(const SyllableSpec &cutting, std::span<const ClassMask> word, std::vector<int> &starts,
               std::span<const std::uint8_t> sonority)
{
    starts.clear();
    const auto n = qsizetype(word.size());
    if (n == 0)
        return true;
    const std::size_t patterns = cutting.patterns.size();
    if (cutting.mode != SyllableSpec::Mode::Patterns || patterns == 0)
        return false;

    // The nuclei, left to right, each the longest from where it starts. A
    // state met again where an earlier scan found nothing longer is not
    // followed again, which keeps unbounded nuclei linear.
    std::vector<std::pair<qsizetype, qsizetype>> nuclei;
    const SyllablePart &nu = cutting.nuclei;
    const bool remember = !nu.bounded();
    std::unordered_set<Failed, FailedHash> failed;
    std::vector<Failed> trail;
    for (qsizetype i = 0; i < n;) {
        std::uint64_t state = SyllablePart::kStart;
        qsizetype best = -1;
        trail.clear();
        for (qsizetype x = i;;) {
            if (x > i && nu.accepting(state))
                best = x;
            if (x == n)
                break;
            if (remember) {
                if (failed.contains({x, state}))
                    break;
                trail.push_back({x, state});
            }
            state = nu.step(state, word[std::size_t(x)]);
            ++x;
            if (!state)
                break;
        }
        for (const Failed &f : trail) {
            if (best < 0 || f.at >= best)
                failed.insert(f);
        }
        if (best > i) {
            nuclei.emplace_back(i, best);
            i = best;
        } else {
            ++i;
        }
    }
    const std::size_t count = nuclei.size();
    if (count == 0)
        return false;

    std::vector<char> nucleusFits(count * patterns);
    for (std::size_t k = 0; k < count; ++k) {
        for (std::size_t q = 0; q < patterns; ++q)
            nucleusFits[k * patterns + q] = cutting.patterns[q].nucleus.accepts(word, nuclei[k].first, nuclei[k].second);
    }

    // Backwards: open[k][j], whether the syllables after the cluster k can
    // all be cut when that cluster's onset starts at j; complete[q], whether
    // a syllable of pattern q can end as the cut goes on.
    std::vector<std::vector<char>> open(count > 0 ? count - 1 : 0);
    std::vector<char> complete(patterns);
    std::vector<char> buffer;
    for (std::size_t q = 0; q < patterns; ++q)
        complete[q] = cutting.patterns[q].coda.accepts(word, nuclei[count - 1].second, n);
    for (std::size_t k = count - 1; k-- > 0;) {
        const qsizetype from = nuclei[k].second;
        const qsizetype to = nuclei[k + 1].first;
        std::vector<char> &fits = open[k];
        fits.assign(std::size_t(to - from + 1), 0);
        for (std::size_t q = 0; q < patterns; ++q) {
            if (!complete[q] || !nucleusFits[(k + 1) * patterns + q])
                continue;
            cutting.patterns[q].onset.suffixes(word, from, to, buffer);
            for (std::size_t j = 0; j < fits.size(); ++j)
                fits[j] = fits[j] || buffer[j];
        }
        for (std::size_t q = 0; q < patterns; ++q) {
            cutting.patterns[q].coda.prefixes(word, from, to, buffer);
            complete[q] = false;
            for (std::size_t j = 0; j < fits.size() && !complete[q]; ++j)
                complete[q] = buffer[j] && fits[j];
        }
    }
    bool possible = false;
    for (std::size_t q = 0; q < patterns && !possible; ++q)
        possible = complete[q] && nucleusFits[q] && cutting.patterns[q].onset.accepts(word, 0, nuclei[0].first);
    if (!possible)
        return false;

    // Forwards: each cluster gives its next syllable the longest onset that
    // leaves the rest of the word cuttable.
    qsizetype onsetFrom = 0;
    std::vector<char> codaFits;
    for (std::size_t k = 0; k + 1 < count; ++k) {
        const qsizetype from = nuclei[k].second;
        const qsizetype to = nuclei[k + 1].first;
        codaFits.assign(std::size_t(to - from + 1), 0);
        for (std::size_t q = 0; q < patterns; ++q) {
            if (!nucleusFits[k * patterns + q] || !cutting.patterns[q].onset.accepts(word, onsetFrom, nuclei[k].first))
                continue;
            cutting.patterns[q].coda.prefixes(word, from, to, buffer);
            for (std::size_t j = 0; j < codaFits.size(); ++j)
                codaFits[j] = codaFits[j] || buffer[j];
        }
        // The longest onset that keeps to the sonority rule, where the
        // patterns allow one; else the longest they allow.
        std::size_t j = 0;
        if (!sonority.empty() && to > from) {
            qsizetype rising = to - 1;
            while (rising > from
                   && SonorityScale::rises(sonority[std::size_t(rising - 1)], sonority[std::size_t(rising)]))
                --rising;
            j = std::size_t(rising - from);
            while (j < codaFits.size() && !(codaFits[j] && open[k][j]))
                ++j;
            if (j == codaFits.size())
                j = 0;
        }
        if (j == 0 || !(codaFits[j] && open[k][j])) {
            j = 0;
            while (j < codaFits.size() && !(codaFits[j] && open[k][j]))
                ++j;
        }
        if (j == codaFits.size())
            return false; // cannot happen: the backward pass found a way
        onsetFrom = from + qsizetype(j);
        starts.push_back(int(onsetFrom));
    }
    return true;
}

SonorityScale::SonorityScale(const FeatureTable &table)
{
    if (table.isEmpty())
        return;
    const auto id = [&](const char *name) { return table.value(QString::fromUtf8(name)); };
    vowel_ = id("vocal");
    syllabic_ = id("+silábica");
    approximant_ = id("aproximante");
    lateral_ = id("+lateral");
    trill_ = id("vibrante");
    tap_ = id("percusiva");
    nasal_ = id("nasal");
    fricative_ = id("fricativa");
    stop_ = id("oclusiva");
    affricate_ = id("africada");
    for (const char *place : {"alveolar", "postalveolar", "alveolopalatal", "retrofleja"}) {
        if (id(place) >= 0)
            sibilantPlaces_.push_back(id(place));
    }
}

std::uint8_t SonorityScale::ofLetter(char32_t c)
{
    switch (c) {
    case U'a': case U'e': case U'i': case U'o': case U'u': case U'ɑ': case U'ɛ': case U'ɔ': case U'ɪ': case U'ʊ':
    case U'ə': case U'æ': case U'ø': case U'œ': case U'ɨ': case U'ʉ': case U'ɯ': case U'ʌ': case U'ɐ': case U'ɒ':
        return 5;
    case U'j': case U'w': case U'y': case U'ɥ': case U'ʋ': case U'ɰ': case U'ɹ': case U'ɻ':
        return 4;
    case U'l': case U'r': case U'ɾ': case U'ʎ': case U'ɫ': case U'ɭ': case U'ʟ': case U'ʀ': case U'ɽ':
        return 3;
    case U'm': case U'n': case U'ɲ': case U'ŋ': case U'ɱ': case U'ɳ': case U'ɴ':
        return 2;
    case U's': case U'z': case U'ʃ': case U'ʒ':
        return 1 | kSibilant;
    case U'f': case U'v': case U'θ': case U'ð': case U'x': case U'h': case U'ɣ': case U'χ': case U'β': case U'ɸ':
    case U'ç': case U'ħ': case U'ʁ': case U'ɦ':
        return 1;
    default:
        return kStop;
    }
}

std::uint8_t SonorityScale::of(QStringView text, const ValueSet *features) const
{
    if (features) {
        const auto has = [&](ValueId v) { return v >= 0 && features->contains(v); };
        if (has(vowel_) || has(syllabic_))
            return 5;
        if (has(approximant_))
            return has(lateral_) ? 3 : 4;
        if (has(trill_) || has(tap_))
            return 3;
        if (has(nasal_))
            return 2;
        if (has(fricative_)) {
            const bool sibilant = !has(lateral_)
                && std::any_of(sibilantPlaces_.begin(), sibilantPlaces_.end(), [&](ValueId v) { return has(v); });
            return 1 | (sibilant ? kSibilant : 0);
        }
        if (has(stop_) || has(affricate_))
            return kStop;
    }
    // By the letter, without its marks and case.
    const QString base = text.toString().normalized(QString::NormalizationForm_D);
    if (base.isEmpty())
        return kStop;
    const char32_t c = base.at(0).isHighSurrogate() && base.size() > 1
        ? QChar::surrogateToUcs4(base.at(0), base.at(1))
        : char32_t(base.at(0).toLower().unicode());
    return ofLetter(c);
}

void explicitSyllables(std::vector<SegmentId> &word, std::vector<int> &starts)
{
    starts.clear();
    std::size_t kept = 0;
    for (const SegmentId id : word) {
        if (id == SegmentId(U'.')) {
            if (kept > 0 && (starts.empty() || starts.back() != int(kept)))
                starts.push_back(int(kept));
            continue;
        }
        word[kept++] = id;
    }
    word.resize(kept);
    if (!starts.empty() && starts.back() == int(kept))
        starts.pop_back();
}

QString withBoundaries(const Segmenter &segmenter, std::span<const SegmentId> word, const LocalSegments &local,
                       std::span<const int> starts)
{
    QString out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < word.size(); ++i) {
        while (next < starts.size() && starts[next] == int(i)) {
            out += u'.';
            ++next;
        }
        segmenter.append(word[i], local, out);
    }
    return out;
}

} // namespace vordane::notation
