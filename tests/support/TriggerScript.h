#ifndef SUPPORT_TRIGGERSCRIPT_H
#define SUPPORT_TRIGGERSCRIPT_H

#include <string>
#include <vector>

namespace test {

/**
 * Builds the text of a trigger script, as scene files keep it in a node's
 * user properties (SceneWriter::userProperty):
 *
 *   TriggerScript().state(2).executeType(0).a("addscore,5").a("levelcomplete").e("nop").text()
 *
 * gives "state=2\nexecutetype=0\na01=addscore,5\na02=levelcomplete\ne01=nop\n".
 * Lines come out in call order. a() and e() number their lines from 1 ("a01"
 * to "a99", then "a100"); key() writes any key, for gaps and odd numbers;
 * line() writes a raw line as given.
 */
class TriggerScript {
public:
	TriggerScript& state(int value);
	TriggerScript& executeType(int value);
	/** The next line of the main list ("a01", "a02", ...). */
	TriggerScript& a(const std::string& action);
	/** The next line of the end list ("e01", "e02", ...). */
	TriggerScript& e(const std::string& action);
	/** key=value, the key as written ("a03", "a100", "a1", "state"). */
	TriggerScript& key(const std::string& key, const std::string& value);
	/** A line as written, without its line end. */
	TriggerScript& line(const std::string& raw);
	/** Ends lines with CR LF instead of LF. */
	TriggerScript& crLineEnds(bool on = true);

	/** The script text, every line ended. */
	std::string text() const;
	operator std::string() const { return text(); }

	/** The key of action number n of list letter: "a01", "a99", "a100". */
	static std::string actionKey(char letter, int n);

private:
	std::vector<std::string> m_lines;
	int m_mainCount = 0;
	int m_endCount = 0;
	bool m_crlf = false;
};

} // namespace test

#endif
