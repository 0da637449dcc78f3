var indexSectionsWithContent =
{
  0: "3ackprst",
  1: "3cprst",
  2: "ak"
};

var indexSectionNames =
{
  0: "all",
  1: "groups",
  2: "pages"
};

var indexSectionLabels =
{
  0: "All",
  1: "Modules",
  2: "Pages"
};

