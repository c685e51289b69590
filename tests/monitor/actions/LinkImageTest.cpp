// The link images on Ostrevi's title bar under a real hand.
#include "common/PageOpen.h"
#include "tests/monitor/support/FormFixture.h"
#include "tests/support/LinkImageRun.h"

namespace {

class LinkImages : public test::FormTest {
protected:
    void SetUp() override
    {
        test::OpenedPages().clear();
        seams.pageOpener = &test::RecordPage; // no browser here
        test::FormTest::SetUp();
    }
};

TEST_F(LinkImages, UnderTheHandTheyHoverOpenTheMakersPagesAndLetTheirClearCornersThroughToTheBar)
{
    const test::LinkImage links[] = {{form->aicAlphaImage4, vantorel::kMakerHomePage},
                                     {form->aicAlphaImage5, vantorel::kMakerIpSecGuidePage},
                                     {form->aicAlphaImage6, vantorel::kMakerHelpPage}};
    test::RunTheHandOverLinks(form->TitelBar1, form->aicAlphaImage1, links);
}

} // namespace
