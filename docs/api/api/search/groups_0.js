var searchData=
[
  ['3ds_20import_0',['3DS import',['../group__import3ds.html',1,'']]]
];
