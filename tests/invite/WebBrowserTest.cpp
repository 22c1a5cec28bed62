// The address field as the e-mail page drives it: the five entry points and message 1424.

#include "webbrowser/WebBrowser.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/WindowMessage.h"

namespace {

struct Library
{
    Library()
    {
        module = ::dlopen(VTX_WEBBROWSER_LIBRARY, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        open = reinterpret_cast<WKE_OpenWebBrowserFn>(::dlsym(module, "WKE_OpenWebBrowser"));
        close = reinterpret_cast<WKE_CloseWebBrowserFn>(::dlsym(module, "WKE_CloseWebBrowser"));
        get = reinterpret_cast<WKE_GetAddresseeFn>(::dlsym(module, "WKE_GetAddressee"));
        reset = reinterpret_cast<WKE_ResetFn>(::dlsym(module, "WKE_Reset"));
        check = reinterpret_cast<WKE_CheckAddresseeFn>(::dlsym(module, "WKE_CheckAddressee"));
    }
    void* module = nullptr;
    WKE_OpenWebBrowserFn open = nullptr;
    WKE_CloseWebBrowserFn close = nullptr;
    WKE_GetAddresseeFn get = nullptr;
    WKE_ResetFn reset = nullptr;
    WKE_CheckAddresseeFn check = nullptr;
};

Library& lib()
{
    static Library instance;
    return instance;
}

// The page the field is embedded in; counts the duplicate messages it receives.
class Page : public QWidget
{
public:
    Page() { resize(590, 303); }
    int duplicates = 0;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == platform::WindowMessageEvent::eventType() &&
            static_cast<platform::WindowMessageEvent*>(event)->message() == platform::kMsgEmailDuplicate)
            ++duplicates;
        return QWidget::event(event);
    }
};

class AddressField : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(lib().module, nullptr) << ::dlerror();
        ASSERT_TRUE(lib().open && lib().close && lib().get && lib().reset && lib().check);
        page = std::make_unique<Page>();
        page->show();
        browser = lib().open("file:///nowhere/tagsinput.html", platform::registerWindow(page.get()), &window);
        ASSERT_NE(browser, nullptr);
        field = qobject_cast<QWidget*>(platform::localReceiver(window));
        ASSERT_NE(field, nullptr);
        field->setGeometry(0, 54, 570, 188);
        field->show();
        input = field->findChild<QLineEdit*>("addressInput");
        ASSERT_NE(input, nullptr);
    }
    void TearDown() override
    {
        lib().close(browser);
        page.reset();
    }

    std::string addresses()
    {
        const size_t needed = lib().get(browser, nullptr, 0);
        std::vector<char> buffer(needed + 1, 'x');
        EXPECT_EQ(lib().get(browser, buffer.data(), buffer.size()), needed);
        return std::string(buffer.data());
    }
    int tagCount() { return field->findChildren<QWidget*>("addressTag").size(); }
    void type(const QString& text) { QTest::keyClicks(input, text); }

    std::unique_ptr<Page> page;
    WKE_Browser browser = nullptr;
    long long window = 0;
    QWidget* field = nullptr;
    QLineEdit* input = nullptr;
};

TEST_F(AddressField, CommaEnterAndLeavingTheFieldEachMakeATag)
{
    type(QStringLiteral("a@x.cn,"));
    type(QStringLiteral(" b@y.cn "));
    QTest::keyClick(input, Qt::Key_Return);
    type(QStringLiteral("c@z.cn"));
    // The full-width comma of Chinese input methods; keyClicks knows only ASCII keys.
    QKeyEvent fullWidthComma(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0xFF0C)));
    QApplication::sendEvent(input, &fullWidthComma);
    type(QStringLiteral("d@w.cn"));
    EXPECT_EQ(tagCount(), 3);
    // Text still being typed counts without becoming a tag.
    EXPECT_EQ(addresses(), "a@x.cn,b@y.cn,c@z.cn,d@w.cn");
    QFocusEvent leave(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(input, &leave);
    EXPECT_EQ(tagCount(), 4);
    EXPECT_TRUE(input->text().isEmpty());
    EXPECT_EQ(addresses(), "a@x.cn,b@y.cn,c@z.cn,d@w.cn");
}

TEST_F(AddressField, BackspaceInTheEmptyInputRemovesTheLastTagAndItsDuplicateGuard)
{
    type(QStringLiteral("a@x.cn,b@y.cn,"));
    QTest::keyClick(input, Qt::Key_Backspace);
    EXPECT_EQ(addresses(), "a@x.cn");
    type(QStringLiteral("b@y.cn,"));
    EXPECT_EQ(addresses(), "a@x.cn,b@y.cn");
    QApplication::processEvents();
    EXPECT_EQ(page->duplicates, 0);
}

TEST_F(AddressField, ResetEmptiesTagsAndInput)
{
    type(QStringLiteral("a@x.cn,b@y.cn,half"));
    lib().reset(browser);
    EXPECT_EQ(addresses(), "");
    EXPECT_EQ(tagCount(), 0);
    // A cleared address can be entered again without being called a duplicate.
    type(QStringLiteral("a@x.cn,"));
    QApplication::processEvents();
    EXPECT_EQ(page->duplicates, 0);
    EXPECT_EQ(addresses(), "a@x.cn");
}

TEST_F(AddressField, EveryRepeatedAddressSendsOneMessageAndKeepsOneCopy)
{
    type(QStringLiteral("a@x.cn,"));
    for (int i = 0; i < 10; ++i)
        type(i % 2 ? QStringLiteral("A@X.CN,") : QStringLiteral("a@x.cn,"));
    QTRY_COMPARE(page->duplicates, 10);
    EXPECT_EQ(addresses(), "a@x.cn");
    EXPECT_EQ(tagCount(), 1);
}

TEST_F(AddressField, ListLongerThanTheBufferIsNeverCut)
{
    QString pasted;
    for (int i = 0; i < 200; ++i)
        pasted += QStringLiteral("person%1@example.com,").arg(i);
    input->setFocus();
    input->insert(pasted);
    // insert() does not count as an edit; the editor reacts to typed and pasted text alike.
    type(QStringLiteral(","));
    EXPECT_EQ(tagCount(), 200);
    const size_t needed = lib().get(browser, nullptr, 0);
    ASSERT_GT(needed, 1024u);
    std::vector<char> small(1024, 'x');
    EXPECT_EQ(lib().get(browser, small.data(), small.size()), needed);
    EXPECT_EQ(small[0], '\0');
    // Exactly the length without room for the zero byte is still too small.
    std::vector<char> tight(needed, 'x');
    EXPECT_EQ(lib().get(browser, tight.data(), tight.size()), needed);
    EXPECT_EQ(tight[0], '\0');
    const std::string all = addresses();
    EXPECT_EQ(all.size(), needed);
    EXPECT_EQ(all.substr(0, 23), "person0@example.com,per");
    EXPECT_EQ(all.substr(all.size() - 21), "person199@example.com");
}

TEST_F(AddressField, ClosedOrOrphanedBrowsersAnswerNothing)
{
    type(QStringLiteral("a@x.cn,"));
    page.reset(); // the field dies with its window
    EXPECT_EQ(lib().get(browser, nullptr, 0), 0u);
    lib().reset(browser);
    lib().close(browser);
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(lib().get(browser, buffer, sizeof buffer), 0u);
    EXPECT_EQ(buffer[0], '\0');
    lib().close(browser); // a second close is ignored
    browser = nullptr;
}

TEST(AddressFieldOpen, RefusesAParentThatIsNoWidgetOfThisProcess)
{
    ASSERT_NE(lib().open, nullptr);
    long long window = 42;
    EXPECT_EQ(lib().open("", 0, &window), nullptr);
    EXPECT_EQ(window, 0);
    QObject notAWidget;
    EXPECT_EQ(lib().open("", platform::registerWindow(&notAWidget), &window), nullptr);
    // A handle of another process.
    EXPECT_EQ(lib().open("", (static_cast<long long>(1) << 20) | 5, nullptr), nullptr);
}

TEST(AddressForm, AcceptsAddressesMailProgramsAccept)
{
    ASSERT_NE(lib().check, nullptr);
    for (const char* good : {"a@b.cn", "first.last+tag@mail.example.com", "x_y-z@sub-domain.example.org",
                             "\xe7\x94\xa8\xe6\x88\xb7@\xe4\xbe\x8b\xe5\xad\x90.\xe4\xb8\xad\xe5\x9b\xbd"})
        EXPECT_TRUE(lib().check(nullptr, good)) << good;
}

TEST(AddressForm, RejectsWhatCouldSplitOrIsNoAddress)
{
    ASSERT_NE(lib().check, nullptr);
    const std::string longLocal(65, 'a');
    const std::string huge = std::string(4990, 'a') + "@example.com";
    for (const std::string& bad : {std::string(),
                                   std::string("a"),
                                   std::string("@b.cn"),
                                   std::string("a@"),
                                   std::string("a@b"),
                                   std::string("a@b..cn"),
                                   std::string("a@@b.cn"),
                                   std::string("a@b@c.cn"),
                                   std::string("a;b@c.cn"),
                                   std::string("a@b.cn;c@d.cn"),
                                   std::string("a,b@c.cn"),
                                   std::string("a b@c.cn"),
                                   std::string("a@b.cn "),
                                   std::string(".a@b.cn"),
                                   std::string("a.@b.cn"),
                                   std::string("a..b@c.cn"),
                                   std::string("a@-b.cn"),
                                   std::string("a@b-.cn"),
                                   std::string("a@b.c_n"),
                                   std::string("\"a\"@b.cn"),
                                   std::string("a\tb@c.cn"),
                                   std::string("\xff@b.cn"),
                                   longLocal + "@b.cn",
                                   huge})
        EXPECT_FALSE(lib().check(nullptr, bad.c_str())) << bad.substr(0, 40);
    EXPECT_FALSE(lib().check(nullptr, nullptr));
}

} // namespace
